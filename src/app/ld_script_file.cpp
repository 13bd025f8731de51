#include "app/ld_script_file.h"

#include <filesystem>

#include "text/text_file.h"

namespace tarvel {

namespace {
// Reads the file `name` as a whole, lines joined by LF; false when it cannot be opened.
bool read_whole_file(const std::string& name, std::string& text) {
    c_text_file file(name);
    if (!file.is_open()) {
        return false;
    }
    text.clear();
    std::string_view line;
    while (file.next(line)) {
        text.append(line);
        text += '\n';
    }
    return true;
}

bool read_included_file(const std::string& file, const std::string& including, std::string& name,
                        std::string& text) {
    name = (std::filesystem::path(including).parent_path() / file).string();
    if (read_whole_file(name, text)) {
        return true;
    }
    name = file;
    return read_whole_file(name, text);
}
}  // namespace

bool read_ld_script_file(const std::string& path, std::vector<ld_script_region>& regions,
                         std::string& error) {
    std::string text;
    if (!read_whole_file(path, text)) {
        error = "cannot read the linker script '" + path + "'";
        return false;
    }
    return read_ld_script_memory_text(text, path, &read_included_file, regions, error);
}

}  // namespace tarvel
