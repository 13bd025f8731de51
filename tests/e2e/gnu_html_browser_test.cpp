// The pages tarvel-report writes for GNU ld maps whose link failed because a region overflowed,
// and for maps that name no memory regions, opened in headless Chromium.
#include <gtest/gtest.h>

#include <string>

#include "support/browser.h"
#include "support/dom_scan.h"
#include "support/report_run.h"

namespace tarvel::test {
namespace {

// FLASH (256 bytes) holds .text and the load image of .data: 0x160 + 4 = 356 bytes, 100 over.
const std::string overflowing_map =
    "Memory Configuration\n"
    "\n"
    "Name             Origin             Length             Attributes\n"
    "FLASH            0x08000000         0x00000100         xr\n"
    "RAM              0x20000000         0x00005000         xrw\n"
    "*default*        0x00000000         0xffffffff\n"
    "\n"
    "Linker script and memory map\n"
    "\n"
    ".text           0x08000000      0x160\n"
    " .text.startup  0x08000000      0x160 c.o\n"
    ".data           0x20000000        0x4 load address 0x08000160\n"
    " .data          0x20000000        0x4 c.o\n";

const std::string map_without_regions =
    "Memory Configuration\n"
    "\n"
    "Name             Origin             Length             Attributes\n"
    "*default*        0x00000000         0xffffffff\n"
    "\n"
    "Linker script and memory map\n"
    "\n"
    ".text           0x00008000       0x5c\n"
    " .text          0x00008000       0x58 c.o\n"
    " .rodata        0x00008058        0x4 c.o\n"
    ".data           0x00009060        0x4\n"
    " .data          0x00009060        0x4 c.o\n"
    ".bss            0x00009064        0x8\n"
    " .bss           0x00009064        0x8 c.o\n";

class GnuHtmlBrowser : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the Windows build runs under Wine, where no browser runs";
#else
        browser_ = find_browser();
        ASSERT_FALSE(browser_.empty()) << "no headless Chromium (scripts/setup.sh)";
#endif
    }

    // Writes the page of `map` with tarvel-report, opens it and returns the document after
    // the page's scripts ran, failing the test on a page error or a console message.
    std::string page_of(const std::string& map, int expected_exit) {
        dir_.write("app.map", map);
        const process_result run = run_report(dir_, {"--map", "app.map", "--html", "page.html"});
        EXPECT_EQ(run.exit_code, expected_exit) << run.error_output;
        const browser_result result = open_page(browser_, dir_.path() / "page.html");
        EXPECT_EQ(result.exit_code, 0) << result.log;
        EXPECT_EQ(console_messages(result.log), "");
        for (const dom_element& errors : elements_with(result.dom, "id")) {
            if (errors["id"] == "tarvel-errors") {
                EXPECT_EQ(errors["data-count"], "0");
            }
        }
        EXPECT_EQ(elements_with(result.dom, "data-ready").size(), 1u)
            << "the page's script did not finish";
        return result.dom;
    }

    std::string browser_;
    c_temp_dir dir_;
};

TEST_F(GnuHtmlBrowser, AnOverflowingRegionsBarIsMarkedWithTheBytesOver) {
    const std::string dom = page_of(overflowing_map, 1);
    int flash_bars = 0;
    for (const dom_element& bar : elements_with(dom, "data-bar")) {
        if (bar["data-area"] == "FLASH") {
            ++flash_bars;
            EXPECT_NE(bar["class"].find("overfull"), std::string::npos) << bar["class"];
            EXPECT_EQ(bar["data-over"], "100");
            EXPECT_EQ(bar["data-used"], "356");
            EXPECT_EQ(bar["data-free"], "0");
        } else if (bar["data-bar"] == "area") {
            EXPECT_EQ(bar["class"].find("overfull"), std::string::npos) << bar["data-area"];
            EXPECT_FALSE(bar.has("data-over")) << bar["data-area"];
        }
    }
    EXPECT_EQ(flash_bars, 1);
    EXPECT_NE(dom.find(">Overfull: over by 100 bytes<"), std::string::npos);
    // The summary for viewers that run no script says it too.
    EXPECT_NE(dom.find("%, over by 100 bytes</td>"), std::string::npos);
}

TEST_F(GnuHtmlBrowser, AMapWithoutRegionsShowsItsUseBySectionKindAndNoBars) {
    const std::string dom = page_of(map_without_regions, 0);
    EXPECT_TRUE(elements_with(dom, "data-bar").empty());
    // Areas of size 0 hold what the map places: none of them is over full.
    for (const dom_element& element : elements_with(dom, "class")) {
        EXPECT_EQ(element["class"].find("overfull"), std::string::npos) << element.tag;
    }
    EXPECT_TRUE(elements_with(dom, "data-over").empty());
    EXPECT_NE(dom.find("The map names no memory regions"), std::string::npos);
    EXPECT_NE(dom.find(">none: the map names no memory regions<"), std::string::npos);
    std::string kinds;
    for (const dom_element& figure : elements_with(dom, "data-kind")) {
        kinds += figure["data-kind"] + " ";
    }
    EXPECT_EQ(kinds, "code constants load_images other data zero_data other ");
    EXPECT_NE(dom.find(">88 B</dd>"), std::string::npos);  // code
    EXPECT_NE(dom.find(">92 B</dd>"), std::string::npos);  // program memory used
    EXPECT_NE(dom.find(">8 B</dd>"), std::string::npos);   // zero data
}

}  // namespace
}  // namespace tarvel::test
