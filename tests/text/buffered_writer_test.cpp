#include "text/buffered_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <sstream>
#include <string>

namespace tarvel {
namespace {

TEST(BufferedWriter, NumbersAsTheStreamAndPrintfWriteThem) {
    std::ostringstream out;
    std::ostringstream expected;
    {
        c_buffered_writer writer(out);
        for (const std::uint64_t n :
             {std::uint64_t{0}, std::uint64_t{7}, std::uint64_t{10}, std::uint64_t{4294967295u},
              std::numeric_limits<std::uint64_t>::max()}) {
            writer.put_decimal(n).put(' ');
            expected << n << ' ';
        }
        for (const std::int64_t n :
             {std::int64_t{-1}, std::int64_t{-270925023}, std::int64_t{0},
              std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
            writer.put_decimal(n).put(' ');
            expected << n << ' ';
        }
        for (const std::uint32_t n : {0u, 0xABCu, 0x00FFFFFFu, 0xFFFFFFFFu, 0x80000001u}) {
            char text[16];
            std::snprintf(text, sizeof text, "0x%08X", n);
            writer.put("0x").put_hex8(n).put(',');
            expected << text << ',';
        }
    }  // the destructor hands over the rest
    EXPECT_EQ(out.str(), expected.str());
}

TEST(BufferedWriter, TextOfAnySizeArrivesWholeAndInOrder) {
    std::ostringstream out;
    std::string expected;
    c_buffered_writer writer(out);
    for (int i = 0; i < 20000; ++i) {
        const std::string piece =
            std::to_string(i) + (i % 5000 == 0 ? std::string(70000, 'y') : "");
        writer.put(piece).put('\n');
        expected += piece + '\n';
    }
    writer.flush();
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
}  // namespace tarvel
