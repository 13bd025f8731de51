// Fuzz target: a whole analysis run. The first input byte chooses the type keyword; the rest is
// the map file, or a definition file and a map file separated by a line "%%". Without that line
// a fixed definition is used. Both files, and so the ambiguity file beside the map, live in
// the fuzzer's scratch directory.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/analyze_memory.h"
#include "fuzz_files.h"
#include "mapfile/map_formats.h"

namespace {
// Every keyword of the registry, and two that select no reader.
std::vector<std::string> all_types() {
    std::vector<std::string> types;
    for (const tarvel::map_format& format : tarvel::map_formats()) {
        types.emplace_back(format.keyword);
    }
    types.emplace_back("puma");
    types.emplace_back("");
    return types;
}

const char* const default_definition =
    "PROGRAM 0 10000\n"
    "PROGRAM FE0000 20000\n"
    "MEMORY 10000 8000\n"
    "MEMORY 3FF0000 10000\n"
    "RESERVED 100 20\n"
    "SEARCH text\n"
    "SEARCH |data |bss !debug\n"
    "SEARCH a\n";

constexpr std::string_view separator = "\n%%\n";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel;
    if (size == 0) {
        return 0;
    }
    static const std::vector<std::string> types = all_types();
    const std::string& type = types[data[0] % types.size()];
    const std::string_view rest = fuzz::as_text(data + 1, size - 1);
    std::string_view definition = default_definition;
    std::string_view map = rest;
    if (const std::size_t split = rest.find(separator); split != std::string_view::npos) {
        definition = rest.substr(0, split);
        map = rest.substr(split + separator.size());
    }
    const std::string def_path = fuzz::scratch().write("target.def", definition);
    const std::string map_path = fuzz::scratch().write("application.map", map);

    std::ostringstream out;
    (void)analyze_memory(map_path, def_path, type, out);
    return 0;
}
