// Inputs that the fuzz targets found to crash or to trip a sanitizer, each kept here with the
// behaviour it must have now. The same inputs are seeds in fuzz/corpus/.
#include <gtest/gtest.h>

#include <sstream>
#include <string_view>

#include "text/line_reader.h"

namespace tarvel {
namespace {

// An empty stream: the reader's buffer had no storage yet and was scanned with a null pointer.
TEST(FuzzFindings, LineReaderOnAnEmptyStreamGivesNoLine) {
    std::istringstream empty;
    c_line_reader lines(&empty);
    std::string_view line = "unchanged";
    EXPECT_FALSE(lines.next(line));
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(lines.next(line));
}

}  // namespace
}  // namespace tarvel
