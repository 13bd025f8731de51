// Fuzz target: format detection on arbitrary bytes. A detected type must be one of the reader
// keywords, a reader must exist for it and open the map, and that reader must read the map
// without crashing, against a fixed definition and, for maps that describe their memory,
// against their own regions. The run of tarvel-report does the same after --type auto.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_files.h"
#include "mapfile/create_reader.h"
#include "mapfile/detect_format.h"
#include "mapfile/map_formats.h"
#include "memdef/memory_def.h"

namespace {

// Areas where the examples put their sections and symbols, masked or not, and a search.
const char* const definition_text =
    "PROGRAM 0 10000\n"
    "PROGRAM FE0000 20000\n"
    "PROGRAM 8000000 10000\n"
    "MEMORY 10000 8000\n"
    "MEMORY 3FF0000 10000\n"
    "MEMORY 20000000 5000\n"
    "SEARCH text\n";

const tarvel::c_memory_def& fixed_definition() {
    static const tarvel::c_memory_def def =
        tarvel::fuzz::load_definition("detect.def", definition_text);
    return def;
}

bool is_keyword(const std::string& text) {
    return tarvel::find_map_format(text) != nullptr;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel;
    const std::string path = fuzz::scratch().write("detect.map", fuzz::as_text(data, size));
    const detected_format detected = detect_format(text_source::file(path));
    // Whatever the outcome, the message of a failed detection has something to say.
    if (detected.looked_for.empty()) {
        std::abort();
    }
    if (detected.keyword.empty()) {
        return 0;
    }
    if (!is_keyword(detected.keyword)) {
        std::abort();
    }
    const std::unique_ptr<c_map_file> reader =
        create_reader(detected.keyword, text_source::file(path));
    if (!reader || !reader->is_open()) {
        std::abort();
    }
    c_entry_list program_entries;
    c_entry_list memory_entries;
    (void)reader->parse(fixed_definition(), program_entries, memory_entries);

    const std::unique_ptr<c_map_file> describing =
        create_reader(detected.keyword, text_source::file(path));
    c_memory_def own;
    if (describing->define_areas(own)) {
        c_entry_list own_program;
        c_entry_list own_memory;
        (void)describing->parse(own, own_program, own_memory);
    }
    return 0;
}
