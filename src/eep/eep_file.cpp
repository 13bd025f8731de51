#include "eep/eep_file.h"

#include "text/hex_number.h"

namespace tarvel {

namespace {
// The generator of the file writes long runs of blank lines between sections only by mistake;
// after this many in a row the rest of the file is taken to hold nothing more.
constexpr int max_empty_reads = 20;

// The value line is indented by four characters; the value text is everything after them.
constexpr std::size_t value_column = 4;

struct key_text {
    std::string_view text;
    std::uint32_t eep_data_sizes::*field;
};

// Tested in this order on each line. The last one ends the reading.
constexpr key_text keys[] = {
    {"_IpdEep_nOnceDataSize", &eep_data_sizes::once_data_size},
    {"_IpdEep_nTrippleDataSize", &eep_data_sizes::triple_data_size},
    {"_IpdEep_nOnceDataFree", &eep_data_sizes::once_data_free},
    {"_IpdEep_nTrippleDataFree", &eep_data_sizes::triple_data_free},
};

bool is_key_line(std::string_view line, std::string_view key) {
    return line.find(key) != std::string_view::npos && line.find(',') == std::string_view::npos;
}

std::uint32_t value_of(std::string_view value_line) {
    if (value_line.size() <= value_column) {
        return 0;
    }
    return strtoul_hex32(value_line.substr(value_column));
}
}  // namespace

std::string_view c_eep_file::read_line() {
    std::string_view line;
    return next_line(line) ? line : std::string_view{};
}

bool c_eep_file::read_sizes(eep_data_sizes& sizes, std::ostream& out) {
    sizes = eep_data_sizes{};
    if (!is_open()) {
        return false;
    }
    read_line();  // header line

    for (;;) {
        std::string_view line = read_line();
        for (int empty_reads = 1; line.empty(); ++empty_reads) {
            if (empty_reads == max_empty_reads) {
                out << "File end" << std::endl;
                return false;
            }
            line = read_line();
        }
        for (const key_text& key : keys) {
            if (!is_key_line(line, key.text)) {
                continue;
            }
            // A key without a value line: the file ended early.
            if (!next_line(line)) {
                out << "File end" << std::endl;
                return false;
            }
            sizes.*key.field = value_of(line);
            if (key.field == &eep_data_sizes::triple_data_free) {
                return true;
            }
            // The value line is the line the remaining keys are looked for in.
        }
    }
}

}  // namespace tarvel
