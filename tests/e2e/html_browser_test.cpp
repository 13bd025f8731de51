// The HTML report in a real browser: pages rendered from usage models are opened in headless
// Chromium, and the document after the page's scripts ran is checked: the bars, the treemap
// tiles, the table and its filter, the escaping of names, and that nothing went wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <string_view>

#include "analysis/budget.h"
#include "analysis/usage_diff.h"
#include "analysis/usage_snapshot.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "support/browser.h"
#include "support/dom_scan.h"
#include "support/model_builder.h"
#include "support/report_contexts.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

using test::dom_element;
using test::elements_with;

// A pixel dimension from a tile's style ("width: 120px").
double style_pixels(const dom_element& tile, const std::string& property) {
    std::smatch match;
    const std::string& style = tile["style"];
    if (!std::regex_search(style, match, std::regex(property + ": ([0-9.]+)px"))) {
        return -1;
    }
    return std::stod(match[1]);
}

bool contains_ignoring_case(std::string_view text, std::string_view part) {
    const auto lower = [](std::string_view view) {
        std::string value(view);
        std::transform(value.begin(), value.end(), value.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return value;
    };
    return lower(text).find(lower(part)) != std::string::npos;
}

class HtmlBrowser : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the Windows build runs under Wine, where no browser runs";
#else
        browser_ = test::find_browser();
        // On Linux a missing browser is a broken test machine, not a reason to pass.
        ASSERT_FALSE(browser_.empty())
            << "no headless Chromium: install chromium-headless-shell (scripts/setup.sh) or set "
               "TARVEL_BROWSER";
#endif
    }

    // Renders `model` with its JSON report `report` (made from the model when empty), opens
    // the page with `fragment` and returns the document. Fails the test when the page
    // recorded an error or the console logged anything.
    std::string open(const usage_model& model, const std::string& fragment = "",
                     group_by grouping = group_by::section, const std::string& report = "") {
        std::string json = report;
        if (json.empty()) {
            std::ostringstream out;
            render_json_report(out, test::json_context(model, "3.0.0.0"));
            json = out.str();
        }
        std::ostringstream page;
        render_html_report(
            page, test::page_context(model, json, "2026-12-08 10:00", "3.0.0.0", grouping));
        const auto path = dir_.write("page.html", page.str());
        const test::browser_result result = test::open_page(browser_, path, fragment);
        EXPECT_EQ(result.exit_code, 0) << result.log;
        EXPECT_EQ(test::console_messages(result.log), "");
        const auto errors = having(elements_with(result.dom, "id"), "id", "tarvel-errors");
        EXPECT_EQ(errors.size(), 1u);
        if (!errors.empty()) {
            EXPECT_EQ(errors[0]["data-count"], "0") << result.dom.substr(0, 4000);
        }
        const auto body = elements_with(result.dom, "data-ready");
        EXPECT_EQ(body.size(), 1u) << "the page's script did not finish";
        return result.dom;
    }

    static std::vector<dom_element> having(const std::vector<dom_element>& elements,
                                           const std::string& attribute, const std::string& value) {
        std::vector<dom_element> kept;
        std::copy_if(elements.begin(), elements.end(), std::back_inserter(kept),
                     [&](const dom_element& e) { return e[attribute] == value; });
        return kept;
    }

    // A model with two program areas, one RAM and one EEPROM area, three searches, an
    // ambiguity of each kind, a bit variable, an entry outside every area, and 450 small
    // entries that make the table three pages long and fold into "other" tiles.
    static void example_model(test::c_model_builder& build) {
        build.program(0, 0x10000).program(0x20000, 0x2000).ram(0x100000, 0x2000);
        build.eeprom(0x200000, 0x800);
        build.search("Can").search("|Com |Lin").search("Os_");
        build.entry("CanIf_Tx", 0x0, 12000).entry("CanSM_Main", 0x3000, 6000);
        build.entry("Com_Main", 0x5000, 8000).entry("Lin_If", 0x7000, 3000);
        build.entry("Os_Task", 0x8000, 9000).entry("Startup", 0xA000, 2000);
        build.entry("CanCom", 0xB000, 500);  // matched by "Can" and again by "|Com |Lin"
        for (int i = 0; i < 450; ++i) {
            build.entry("Tbl_" + std::to_string(i), 0xC000 + 8 * i, 4 + i % 4);
        }
        build.entry("Com_Cfg", 0x20000, 1500);
        build.entry("CanIf_Tx", 0x20800, 700);  // a second entry of a credited name
        build.entry("buffer", 0x100000, 3000).entry("stack", 0x100C00, 2048);
        build.entry("flags", 0x101400, 13, true).entry("CanRx", 0x101500, 100);
        build.entry("ghost", 0x300000, 64);
    }

    std::string browser_;
    test::c_temp_dir dir_;
};

TEST_F(HtmlBrowser, BarsTreemapsAndTableShowTheModel) {
    test::c_model_builder build;
    example_model(build);
    const usage_model& model = build.done();
    const std::string dom = open(model, "#free=1");
    if (HasFatalFailure()) {
        return;
    }

    // One bar per area, with the area's figures; RAM and ROM as a whole.
    const auto bars = elements_with(dom, "data-bar");
    const auto area_bars = having(bars, "data-bar", "area");
    ASSERT_EQ(area_bars.size(), model.areas.size());
    for (std::size_t i = 0; i < model.areas.size(); ++i) {
        const area_usage& area = model.areas[i];
        EXPECT_EQ(area_bars[i]["data-area"], area.name);
        EXPECT_EQ(area_bars[i]["data-kind"], area_kind_name(area.kind));
        EXPECT_EQ(area_bars[i]["data-used"], std::to_string(area.used_rounded())) << area.name;
        EXPECT_EQ(area_bars[i]["data-size"], std::to_string(area.size)) << area.name;
        EXPECT_EQ(area_bars[i]["data-free"], std::to_string(area.free())) << area.name;
        EXPECT_NEAR(area_bars[i].number("data-percent"), area.used_percent(), 0.05) << area.name;
        EXPECT_FALSE(area_bars[i].has("data-exceeded")) << area.name;
    }
    const auto totals = having(bars, "data-bar", "total");
    ASSERT_EQ(totals.size(), 2u);
    EXPECT_EQ(totals[0]["data-kind"], "ram");
    EXPECT_EQ(totals[0]["data-used"], "5150");  // 5148 bytes and 13 bits, rounded
    EXPECT_EQ(totals[0]["data-size"], std::to_string(model.ram.total));
    EXPECT_EQ(totals[1]["data-kind"], "rom");
    EXPECT_EQ(totals[1]["data-used"], std::to_string(model.rom.used_bytes));

    // The tiles of each area add up to its used bytes, beside its free tile; within each
    // container the tiles' pixel areas are proportional to their bytes.
    const auto tiles = elements_with(dom, "data-tile");
    ASSERT_FALSE(tiles.empty());
    std::map<std::string, double> used_by_tiles;
    std::map<std::string, double> free_by_tiles;
    for (const dom_element& tile : tiles) {
        if (!tile.has("data-leaf")) {
            continue;
        }
        const std::string kind = tile["data-tile"];
        if (kind == "free") {
            free_by_tiles[tile["data-area"]] += tile.number("data-bytes");
        } else {
            used_by_tiles[tile["data-area"]] +=
                tile.number(kind == "area" ? "data-used" : "data-bytes");
        }
    }
    for (const area_usage& area : model.areas) {
        if (area.kind == area_kind::eeprom) {
            EXPECT_EQ(used_by_tiles.count(area.name), 0u);
            continue;
        }
        // Bit variables count as eighths of a byte; the area's figure rounds them.
        EXPECT_NEAR(used_by_tiles[area.name], area.used_rounded(), 0.5) << area.name;
        EXPECT_EQ(free_by_tiles[area.name], static_cast<double>(area.free())) << area.name;
    }
    std::map<std::string, std::vector<const dom_element*>> by_container;
    for (const dom_element& tile : tiles) {
        by_container[tile["data-parent"]].push_back(&tile);
    }
    for (const auto& [parent, members] : by_container) {
        double bytes = 0;
        double pixels = 0;
        for (const dom_element* tile : members) {
            bytes += tile->number("data-bytes");
            pixels += tile->number("data-px");
        }
        for (const dom_element* tile : members) {
            const double width = style_pixels(*tile, "width");
            const double height = style_pixels(*tile, "height");
            EXPECT_EQ(tile->number("data-px"), width * height);
            // Each edge is rounded to whole pixels: the area may be off by about a perimeter.
            const double expected = tile->number("data-bytes") * pixels / bytes;
            EXPECT_NEAR(tile->number("data-px"), expected, width + height + 2)
                << (*tile)["data-tile"] << " in container " << parent;
        }
    }
    // Tiles lie inside the container that holds them, and no two of one container overlap.
    struct box {
        double left, top, right, bottom;
    };
    const auto box_of = [](const dom_element& tile) {
        const double left = style_pixels(tile, "left");
        const double top = style_pixels(tile, "top");
        return box{left, top, left + style_pixels(tile, "width"),
                   top + style_pixels(tile, "height")};
    };
    std::map<std::string, box> boxes;
    for (const dom_element& tile : tiles) {
        boxes[tile["data-node"]] = box_of(tile);
    }
    for (const auto& [parent, members] : by_container) {
        for (std::size_t i = 0; i < members.size(); ++i) {
            const box inner = box_of(*members[i]);
            EXPECT_GE(inner.left, 0);
            EXPECT_GE(inner.top, 0);
            if (boxes.count(parent) != 0) {
                const box outer = boxes[parent];
                EXPECT_TRUE(inner.left >= outer.left && inner.top >= outer.top &&
                            inner.right <= outer.right && inner.bottom <= outer.bottom)
                    << (*members[i])["data-name"] << " outside its container";
            }
            for (std::size_t j = i + 1; j < members.size(); ++j) {
                const box other = box_of(*members[j]);
                EXPECT_TRUE(inner.right <= other.left || other.right <= inner.left ||
                            inner.bottom <= other.top || other.bottom <= inner.top)
                    << (*members[i])["data-name"] << " overlaps " << (*members[j])["data-name"];
            }
        }
    }

    // The 450 small entries are too small to draw: they are folded, and the fold says how many.
    const auto others = having(tiles, "data-tile", "other");
    ASSERT_FALSE(others.empty());
    double folded = 0;
    for (const dom_element& other : others) {
        folded += other.number("data-count");
    }
    EXPECT_GE(folded, 400);
    EXPECT_LT(tiles.size(), 200u);

    // The table holds every placed entry, 200 a page.
    const auto tables = elements_with(dom, "data-table");
    const auto entries = having(tables, "data-table", "entries");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["data-total"], std::to_string(model.entries.size()));
    EXPECT_EQ(entries[0]["data-rows"], std::to_string(model.entries.size()));
    EXPECT_EQ(entries[0]["data-pages"], "3");
    EXPECT_EQ(entries[0]["data-shown"], "200");
    const auto unplaced = having(tables, "data-table", "unplaced");
    ASSERT_EQ(unplaced.size(), 1u);
    EXPECT_EQ(unplaced[0]["data-rows"], "1");
    // Rows on show: a page of entries, the one unplaced entry, the ambiguity records.
    EXPECT_EQ(elements_with(dom, "data-row").size(), 200u + 1u + model.ambiguities().size());

    // The header names the inputs, the run and the version; the notes name what no tile shows.
    EXPECT_NE(dom.find("data-field=\"date\">2026-12-08 10:00<"), std::string::npos);
    EXPECT_NE(dom.find("data-field=\"version\">tarvel-report 3.0.0.0<"), std::string::npos);
    const auto ambiguous = elements_with(dom, "data-ambiguous");
    ASSERT_FALSE(ambiguous.empty());
    EXPECT_EQ(ambiguous[0]["data-ambiguous"], std::to_string(model.ambiguous_bytes()));
    EXPECT_EQ(elements_with(dom, "data-unplaced")[0]["data-unplaced"], "1");
}

TEST_F(HtmlBrowser, TheFilterInTheAddressReducesTheTable) {
    test::c_model_builder build;
    example_model(build);
    const usage_model& model = build.done();
    std::size_t expected = 0;
    for (const entry_usage& placed : model.entries) {
        const std::string search =
            placed.search == no_search ? "" : model.searches[placed.search].text;
        expected += contains_ignoring_case(placed.entry->name, "can") ||
                    contains_ignoring_case(search, "can");
    }
    ASSERT_GT(expected, 0u);
    ASSERT_LT(expected, model.entries.size());

    const std::string dom = open(model, "#filter=Can");
    const auto entries = having(elements_with(dom, "data-table"), "data-table", "entries");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["data-rows"], std::to_string(expected));
    EXPECT_EQ(entries[0]["data-total"], std::to_string(model.entries.size()));
    EXPECT_EQ(entries[0]["data-pages"], "1");
    EXPECT_NE(dom.find("value=\"Can\""), std::string::npos) << "the filter box shows the filter";
}

TEST_F(HtmlBrowser, TheAddressZoomsIntoATileAndFreeBytesAreLeftOut) {
    test::c_model_builder build;
    example_model(build);
    const usage_model& model = build.done();
    const std::string dom = open(model, "#treemap=program&in=Prg%20seg0&in=Can%20");
    const std::size_t ram_map = dom.find("data-treemap=\"ram\"");
    ASSERT_NE(ram_map, std::string::npos);
    const std::string program_part = dom.substr(0, ram_map);
    const std::string ram_part = dom.substr(ram_map);

    // The program treemap shows the search "Can " of Prg seg0: its entries, adding up to it.
    const auto canvases = elements_with(dom, "data-root");
    ASSERT_EQ(canvases.size(), 2u);
    EXPECT_EQ(canvases[0]["data-root"], "Can ");
    EXPECT_EQ(canvases[1]["data-root"], "RAM");
    std::map<std::string, double> shown;
    for (const dom_element& tile : elements_with(program_part, "data-tile")) {
        EXPECT_EQ(tile["data-tile"], "entry");
        EXPECT_EQ(tile["data-area"], "Prg seg0");
        shown[tile["data-name"]] = tile.number("data-bytes");
    }
    EXPECT_EQ(shown, (std::map<std::string, double>{
                         {"CanIf_Tx", 12000}, {"CanSM_Main", 6000}, {"CanCom", 500}}));
    // The path leads back out: a button for each level above.
    EXPECT_NE(program_part.find(">Program memory</button>"), std::string::npos);
    EXPECT_NE(program_part.find(">Prg seg0</button>"), std::string::npos);

    // Unless asked for, free bytes are no tiles: the RAM's tiles are what its areas hold.
    double ram_bytes = 0;
    for (const dom_element& tile : elements_with(ram_part, "data-tile")) {
        EXPECT_NE(tile["data-tile"], "free");
        if (tile.has("data-leaf")) {
            ram_bytes += tile.number("data-bytes");
        }
    }
    EXPECT_NEAR(ram_bytes, model.areas[model.first_ram_area()].used_rounded(), 0.5);
}

TEST_F(HtmlBrowser, NamesAreShownAsTextNeverRun) {
    test::c_model_builder build;
    build.program(0, 0x1000).search("<b>");
    const std::string script_name = "<script>alert(1)</script>";
    const std::string image_name = "<img src=x onerror=\"document.body.dataset.pwned=1\">";
    build.entry(script_name, 0, 0x400).entry(image_name, 0x400, 0x300);
    build.entry("x<b>y", 0x700, 0x100);
    usage_model& model = build.done();
    model.input.map = "<i>app</i>.map";
    const std::string dom = open(model);

    EXPECT_EQ(dom.find("data-pwned"), std::string::npos);
    // No element came from a name: the page's four scripts only, no image, no bold or italics.
    std::map<std::string, int> tags;
    for (const dom_element& element : elements_with(dom)) {
        ++tags[element.tag];
    }
    EXPECT_EQ(tags["script"], 4);
    EXPECT_EQ(tags["img"], 0);
    EXPECT_EQ(tags["b"], 0);
    EXPECT_EQ(tags["i"], 0);
    // The names stand as text in the table and on the tiles.
    EXPECT_NE(dom.find(">&lt;script&gt;alert(1)&lt;/script&gt;</td>"), std::string::npos);
    EXPECT_NE(dom.find(">&lt;script&gt;alert(1)&lt;/script&gt;</span>"), std::string::npos);
    EXPECT_NE(dom.find("data-field=\"map\">&lt;i&gt;app&lt;/i&gt;.map</dd>"), std::string::npos);
}

TEST_F(HtmlBrowser, ChangesAndBudgetsShowOnBarsTilesAndTables) {
    test::c_model_builder base_build;
    base_build.program(0, 0x10000).ram(0x100000, 0x1000).search("Can").search("Com");
    base_build.entry("CanIf", 0, 20000).entry("Com", 0x8000, 12000).entry("Dcm", 0xA000, 500);
    base_build.entry("buffer", 0x100000, 1000);
    const usage_snapshot base = snapshot_of(base_build.done());
    test::c_model_builder build;
    build.program(0, 0x10000).ram(0x100000, 0x1000).search("Can").search("Com");
    build.entry("CanIf", 0, 30000).entry("Com", 0x8000, 10000).entry("Nm", 0xC000, 4000);
    build.entry("buffer", 0x100000, 1000);
    const usage_model& model = build.done();
    const usage_snapshot current = snapshot_of(model);
    usage_diff diff = diff_usage(base, current);
    diff.base = "base.json";
    std::vector<budget> budgets;
    for (const auto& [text, kind] :
         {std::pair{"Prg seg0=40KiB", budget_kind::max}, std::pair{"RAM=50%", budget_kind::max},
          std::pair{"ROM=1KiB", budget_kind::max_growth}}) {
        budgets.push_back(*parse_budget(text, kind));
    }
    const auto evaluated = evaluate_budgets(budgets, model, &diff);
    ASSERT_TRUE(evaluated);
    const std::vector<budget_result>& results = *evaluated;
    std::ostringstream json;
    render_json_report(json, test::json_context(model, "3.0.0.0", &diff, &results));
    const std::string dom = open(model, "", group_by::section, json.str());

    const auto bars = elements_with(dom, "data-bar");
    const auto program = having(having(bars, "data-bar", "area"), "data-area", "Prg seg0");
    ASSERT_EQ(program.size(), 1u);
    EXPECT_EQ(program[0]["data-exceeded"], "1");
    EXPECT_EQ(program[0]["data-budget"], "40960");
    const auto totals = having(bars, "data-bar", "total");
    ASSERT_EQ(totals.size(), 2u);
    EXPECT_EQ(totals[0]["data-budget"], "2048");
    EXPECT_FALSE(totals[0].has("data-exceeded"));
    EXPECT_EQ(totals[1]["data-exceeded"], "1") << "the ROM's growth budget is exceeded";
    const auto limits = elements_with(dom, "data-limit");
    ASSERT_EQ(limits.size(), 2u);
    EXPECT_EQ(limits[0]["data-limit"], "2048");
    EXPECT_EQ(limits[1]["data-limit"], "40960");
    EXPECT_NE(limits[1]["style"].find("left: 62.5%"), std::string::npos);  // 40960 of 65536
    EXPECT_NE(dom.find("data-change=\"11500\""), std::string::npos);

    // Tiles carry their change and are coloured by it: grown, shrunk, new.
    std::map<std::string, std::string> classes;
    std::map<std::string, std::string> changes;
    for (const dom_element& tile : elements_with(dom, "data-tile")) {
        classes[tile["data-name"]] = tile["class"];
        changes[tile["data-name"]] = tile["data-change"];
    }
    EXPECT_EQ(changes["CanIf"], "10000");
    EXPECT_NE(classes["CanIf"].find("change-up-4"), std::string::npos) << classes["CanIf"];
    EXPECT_EQ(changes["Com"], "-2000");
    EXPECT_NE(classes["Com"].find("change-down-3"), std::string::npos) << classes["Com"];
    EXPECT_NE(classes["Nm"].find("change-up-5"), std::string::npos) << classes["Nm"];

    const auto tables = elements_with(dom, "data-table");
    const auto changed = having(tables, "data-table", "changes");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0]["data-rows"], "4");
    const auto budget_rows = elements_with(dom, "data-budget");
    EXPECT_EQ(having(budget_rows, "data-exceeded", "1").size(), 3u);  // two rows, one bar
}

TEST_F(HtmlBrowser, TreemapsGroupByObjectFileOrArchive) {
    test::c_model_builder build;
    build.program(0, 0x10000).search("Can");
    build.model.origins = {{"can.o", "libcan.a"}, {"main.o", ""}};
    build.entry("CanIf", 0, 20000, false, 0).entry("CanTp", 0x5000, 10000, false, 0);
    build.entry("main", 0x8000, 16000, false, 1).entry("vectors", 0xC000, 1000);
    const usage_model& model = build.done();

    const auto groups = [](const std::string& dom) {
        std::map<std::string, double> bytes;
        for (const dom_element& tile :
             having(elements_with(dom, "data-tile"), "data-tile", "group")) {
            bytes[tile["data-name"]] = tile.number("data-bytes");
        }
        return bytes;
    };
    const std::string by_object = open(model, "", group_by::object);
    EXPECT_EQ(groups(by_object),
              (std::map<std::string, double>{
                  {"libcan.a(can.o)", 30000}, {"main.o", 16000}, {"(no object file)", 1000}}));
    EXPECT_NE(by_object.find("data-grouping=\"object\""), std::string::npos);

    const std::string by_archive = open(model, "#group=archive");
    EXPECT_EQ(groups(by_archive),
              (std::map<std::string, double>{{"libcan.a", 30000}, {"(no archive)", 17000}}));
}

}  // namespace
}  // namespace tarvel
