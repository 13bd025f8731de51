// Fuzz target: the EEPROM project source reader, and the report built from what it read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/analyze_eep_size.h"
#include "eep/eep_file.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel;
    const std::string path = fuzz::scratch().write("EepPrj.src", fuzz::as_text(data, size));
    std::ostringstream out;
    bool read = false;
    {
        c_eep_file file(tarvel::text_source::file(path));
        if (!file.is_open()) {
            std::abort();  // a regular file that exists must open
        }
        eep_data_sizes sizes;
        read = file.read_sizes(sizes, out);
    }
    // The whole stage prints a report exactly when the reader succeeded.
    std::ostringstream report;
    if (analyze_eep_size(path, report) != read) {
        std::abort();
    }
    return 0;
}
