// Reading the four EEPROM sizes from an EEPROM project source file.
#include "eep/eep_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace tarvel {
namespace {

const std::string header = "/* generated */\n";
const std::string all_keys =
    "SYMBOL _IpdEep_nOnceDataSize\n    0100;\n"
    "SYMBOL _IpdEep_nTrippleDataSize\n    0040;\n"
    "SYMBOL _IpdEep_nOnceDataFree\n    0300;\n"
    "SYMBOL _IpdEep_nTrippleDataFree\n    0080;\n";

std::string empty_lines(int count) {
    return std::string(static_cast<std::size_t>(count), '\n');
}

class EepFile : public ::testing::Test {
  protected:
    // Reads `content` as a file; what read_sizes printed goes to `printed`.
    bool read(const std::string& content) {
        c_eep_file file(text_source::file(dir.write("EepPrj.src", content).string()));
        EXPECT_TRUE(file.is_open());
        printed.str("");
        return file.read_sizes(sizes, printed);
    }
    // The value read for a triple-data-free value line `value_line`.
    std::uint32_t value_of(const std::string& value_line) {
        EXPECT_TRUE(read(header + "_IpdEep_nTrippleDataFree\n" + value_line + "\n"));
        return sizes.triple_data_free;
    }

    test::c_temp_dir dir;
    eep_data_sizes sizes;
    std::ostringstream printed;
};

TEST_F(EepFile, ReadsAllFourKeysSilently) {
    EXPECT_TRUE(read(header + all_keys + "more after the sizes\n"));
    EXPECT_EQ(sizes.once_data_size, 0x100u);
    EXPECT_EQ(sizes.triple_data_size, 0x40u);
    EXPECT_EQ(sizes.once_data_free, 0x300u);
    EXPECT_EQ(sizes.triple_data_free, 0x80u);
    EXPECT_EQ(printed.str(), "");
}

TEST_F(EepFile, KeysComeInAnyOrderAndNumberUpToTheTripleFreeKey) {
    EXPECT_TRUE(read(header +
                     "_IpdEep_nOnceDataFree\n    0011;\n"
                     "_IpdEep_nOnceDataSize\n    0022;\n"
                     "_IpdEep_nOnceDataFree\n    0033;\n"  // overwrites the first one
                     "_IpdEep_nTrippleDataFree\n    0044;\n"
                     "_IpdEep_nTrippleDataSize\n    0055;\n"));  // after the end of reading
    EXPECT_EQ(sizes.once_data_free, 0x33u);
    EXPECT_EQ(sizes.once_data_size, 0x22u);
    EXPECT_EQ(sizes.triple_data_free, 0x44u);
    EXPECT_EQ(sizes.triple_data_size, 0u);
}

TEST_F(EepFile, RecognisesKeyLinesByTextWithoutComma) {
    // A declaration listing several symbols is no key line; its next line is not a value.
    EXPECT_TRUE(read(header +
                     "EXTERN _IpdEep_nOnceDataSize, _IpdEep_nOnceDataFree;\n    0999;\n"
                     "_IpdEep_nOnceDataFree, x\n    0888;\n" +
                     all_keys));
    EXPECT_EQ(sizes.once_data_size, 0x100u);
    EXPECT_EQ(sizes.once_data_free, 0x300u);

    // A longer symbol that contains a key text counts as that key; the search is
    // case-sensitive.
    EXPECT_TRUE(read(header + "_IpdEep_nOnceDataSizeMax\n    0123;\n"
                              "_ipdeep_nOnceDataFree\n    0456;\n"
                              "_IpdEep_nTrippleDataFree\n    0001;\n"));
    EXPECT_EQ(sizes.once_data_size, 0x123u);
    EXPECT_EQ(sizes.once_data_free, 0u);
}

TEST_F(EepFile, ValueLineIsSearchedForTheRemainingKeys) {
    // The line after a key line is its value line whatever it holds, and it is then looked
    // at for the keys that follow in the test order.
    EXPECT_TRUE(read(header + "_IpdEep_nOnceDataSize\n_IpdEep_nTrippleDataFree\n    0077;\n"));
    EXPECT_EQ(sizes.once_data_size, 0xEEu);  // "Eep_..." starts with the digits E and e
    EXPECT_EQ(sizes.triple_data_free, 0x77u);
}

TEST_F(EepFile, FirstLineIsNeverExamined) {
    EXPECT_FALSE(read("_IpdEep_nTrippleDataFree\n    0400;\n"));
    EXPECT_EQ(printed.str(), "File end\n");
    EXPECT_EQ(sizes.triple_data_free, 0u);
}

TEST_F(EepFile, ValueTextRunsFromTheFifthCharacterToTheLineEnd) {
    EXPECT_EQ(value_of("    0400;"), 0x400u);
    EXPECT_EQ(value_of("    01234"), 0x1234u);  // the last digit belongs to the value
    EXPECT_EQ(value_of("xxxx1234"), 0x1234u);   // the first four characters are not looked at
    EXPECT_EQ(value_of("      0x1f  "), 0x1Fu);
    EXPECT_EQ(value_of("    -1"), 0xFFFFFFFFu);
    EXPECT_EQ(value_of("    123456789"), 0xFFFFFFFFu);
    EXPECT_EQ(value_of("    size"), 0u);
    EXPECT_EQ(value_of("    "), 0u);
    EXPECT_EQ(value_of("  7"), 0u);
    EXPECT_EQ(value_of(""), 0u);
    EXPECT_EQ(printed.str(), "");
}

TEST_F(EepFile, WindowsLineEndsAndLongLinesAreReadWhole) {
    std::string content = header + "/* " + std::string(5000, '-') + " */\n" + all_keys;
    std::string windows;
    for (const char c : content) {
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_TRUE(read(windows));
    EXPECT_EQ(sizes.triple_data_free, 0x80u);

    EXPECT_TRUE(
        read(header + "_IpdEep_nTrippleDataFree\n    " + std::string(3000, ' ') + "01234\r\n"));
    EXPECT_EQ(sizes.triple_data_free, 0x1234u);
}

TEST_F(EepFile, NineteenEmptyLinesAreSkippedTwentyEndTheReading) {
    EXPECT_TRUE(read(header + "_IpdEep_nOnceDataSize\n    0100;\n" + empty_lines(19) +
                     "_IpdEep_nTrippleDataFree\n    0080;\n"));
    EXPECT_EQ(sizes.triple_data_free, 0x80u);

    EXPECT_FALSE(read(header + "_IpdEep_nOnceDataSize\n    0100;\n" + empty_lines(20) +
                      "_IpdEep_nTrippleDataFree\n    0080;\n"));
    EXPECT_EQ(printed.str(), "File end\n");
    EXPECT_EQ(sizes.once_data_size, 0x100u);  // kept, though the caller does not use it
    EXPECT_EQ(sizes.triple_data_free, 0u);

    // An empty value line is a value line, not one of the empty reads.
    EXPECT_TRUE(read(header + "_IpdEep_nOnceDataSize\n\n" + empty_lines(19) +
                     "_IpdEep_nTrippleDataFree\n    0080;\n"));
}

TEST_F(EepFile, EndOfFileBeforeTheTripleFreeKeyPrintsFileEnd) {
    const std::string three_keys =
        "_IpdEep_nOnceDataSize\n    0100;\n_IpdEep_nTrippleDataSize\n    0040;\n"
        "_IpdEep_nOnceDataFree\n    0300;\n";
    EXPECT_FALSE(read(header + three_keys));
    EXPECT_EQ(printed.str(), "File end\n");

    for (const std::string& empty_file : {std::string(), std::string("header only\n")}) {
        EXPECT_FALSE(read(empty_file));
        EXPECT_EQ(printed.str(), "File end\n");
    }
}

TEST_F(EepFile, KeyLineAsLastLineEndsTheReadingLikeTheFileEnd) {
    for (const std::string& last :
         {std::string("_IpdEep_nTrippleDataFree"), std::string("_IpdEep_nTrippleDataFree\n"),
          std::string("_IpdEep_nOnceDataSize\n")}) {
        EXPECT_FALSE(read(header + last)) << last;
        EXPECT_EQ(printed.str(), "File end\n");
        EXPECT_EQ(sizes.triple_data_free, 0u);
    }
}

TEST_F(EepFile, UnopenedFileGivesZerosAndPrintsNothing) {
    for (const auto& path : {dir.path() / "missing.src", dir.path()}) {
        c_eep_file file(text_source::file(path.string()));
        EXPECT_FALSE(file.is_open());
        sizes.once_data_size = 5;
        EXPECT_FALSE(file.read_sizes(sizes, printed));
        EXPECT_EQ(sizes.once_data_size, 0u);
        EXPECT_EQ(printed.str(), "");
    }
}

}  // namespace
}  // namespace tarvel
