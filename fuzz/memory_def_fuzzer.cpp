// Fuzz target: the memory definition file reader, and the model operations the analysis uses
// on what it read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_files.h"
#include "memdef/memory_def.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel;
    const std::string path = fuzz::scratch().write("target.def", fuzz::as_text(data, size));

    search_list searches;
    c_memory_def def;
    def.loaded = def.load(path, searches).ok();

    // The analysis adds up the areas, looks entries up in them and matches names against the
    // searches: run each once on what was read, with values taken from the input.
    (void)c_memory_def::total_size(def.program);
    (void)c_memory_def::total_size(def.memory);
    for (std::size_t i = 0; i <= def.program.size(); ++i) {
        const mem_area& area = def.program_area(i);
        std::uint32_t index = no_area;
        (void)c_memory_def::find_area(area.start, area.size, index, def.program);
        (void)c_memory_def::find_area(area.start + area.size - 1u, 2u, index, def.memory);
    }
    const std::string name(fuzz::as_text(data, size < 64 ? size : 64));
    for (search_def& search : searches) {
        (void)search.describe();
        if (search.matches(name)) {
            search.add(static_cast<std::uint32_t>(size));
        }
    }
    return 0;
}
