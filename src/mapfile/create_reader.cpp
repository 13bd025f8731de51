#include "mapfile/create_reader.h"

#include "mapfile/map_formats.h"

namespace tarvel {

std::unique_ptr<c_map_file> create_reader(const std::string& type, const text_source& map) {
    const map_format* format = find_map_format(type);
    return format != nullptr ? format->create(map) : nullptr;
}

}  // namespace tarvel
