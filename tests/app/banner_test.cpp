#include "app/banner.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "support/process.h"
#include "support/report_text.h"

namespace tarvel {
namespace {

// Captures what is written to standard output while it lives.
class c_captured_stdout {
  public:
    c_captured_stdout() : saved_(std::cout.rdbuf(text_.rdbuf())) {}
    ~c_captured_stdout() { std::cout.rdbuf(saved_); }
    std::string text() const { return text_.str(); }

  private:
    std::ostringstream text_;
    std::streambuf* saved_;
};

TEST(Banner, NamesFileVersionDateAndNotice) {
    const std::string expected =
        "Tarvel.exe version 1.5 from " + build_date() + "\n" + TARVEL_LEGAL_COPYRIGHT + "\n";
    std::string text;
    {
        c_captured_stdout out;
        print_banner(test::tarvel_executable(), true, &text);
        EXPECT_EQ(out.text(), expected + "\n");
    }
    EXPECT_EQ(text, expected);
}

TEST(Banner, SilentWhenNotPrinting) {
    c_captured_stdout out;
    print_banner(test::tarvel_executable(), false);
    EXPECT_EQ(out.text(), "");
}

TEST(Banner, BuildDateIsMadeOnce) {
    EXPECT_EQ(&build_date(), &build_date());
    EXPECT_EQ(build_date().size(), 11u);  // "Mmm dd yyyy"
}

}  // namespace
}  // namespace tarvel
