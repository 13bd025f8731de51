// The areas of a linker map's regions in the usage model: over-full areas, and the EEPROM and
// other areas whose use counts in neither total.
#include <gtest/gtest.h>

#include <sstream>

#include "analysis/usage_analysis.h"
#include "report/memory_report.h"
#include "report/text_report.h"
#include "support/report_contexts.h"

namespace tarvel {
namespace {

c_map_entry entry_at(std::uint32_t address, std::uint32_t size, std::uint32_t index) {
    c_map_entry entry;
    entry.name = "e";
    entry.address = address;
    entry.size = size;
    entry.index = index;
    return entry;
}

// FLASH holds 0x180 bytes in 0x100; RAM 0x20; the EEPROM 8 bytes and the fuses 3, placed as
// the GNU reader places them: counted on from the first RAM area.
void fill(usage_model& model, bool show_overflow) {
    c_memory_def& def = model.definition;
    def.program = {{0x0, 0x100, no_area}};
    def.memory = {{0x1000, 0x100, no_area}};
    def.eeprom = {{0x2000, 0x10, no_area}};
    def.other = {{0x3000, 4, no_area}};
    def.program_names = {"FLASH"};
    def.memory_names = {"RAM"};
    def.eeprom_names = {"eeprom"};
    def.other_names = {"fuse"};
    def.kind_sources = {"attributes", "attributes", "known region name", "known region name"};
    model.program_entries.insert(entry_at(0x0, 0x180, 0));
    model.memory_entries.insert(entry_at(0x1000, 0x20, 0));
    model.memory_entries.insert(entry_at(0x2000, 8, 1));
    model.memory_entries.insert(entry_at(0x3000, 3, 2));
    add_up_options options;
    options.show_overflow = show_overflow;
    add_up_usage(model, options);
}

TEST(UsageAreas, OverFullAreaAndAreasInNeitherTotal) {
    usage_model model;
    fill(model, true);
    ASSERT_EQ(model.areas.size(), 4u);
    EXPECT_EQ(model.areas[0].free(), 0);
    EXPECT_EQ(model.areas[0].over(), 0x80u);
    EXPECT_EQ(model.rom.free(), 0.0);
    EXPECT_EQ(model.ram.used_bytes, 0x20u);  // neither the EEPROM nor the fuses
    EXPECT_EQ(model.areas[2].kind, area_kind::eeprom);
    EXPECT_EQ(model.areas[2].used, 8u);
    EXPECT_EQ(model.areas[3].kind, area_kind::other);
    EXPECT_EQ(model.areas[3].used, 3u);
    EXPECT_EQ(model.areas[3].kind_source, "known region name");
    ASSERT_EQ(model.over_full_areas().size(), 1u);
    EXPECT_EQ(model.over_full_areas()[0]->name, "FLASH");

    std::ostringstream text;
    render_text_report(text, test::with_model(test::extras(nullptr, nullptr, 0), model));
    EXPECT_NE(text.str().find("  FLASH:     Used         384, Free           0, Total        256, "
                              "Pct Used: 150.0%, over by 128 bytes\n"),
              std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find("Areas in neither total:\n"
                              "  eeprom:     Used           8, Free           8, Total         16, "
                              "Pct Used:  50.0%\n"
                              "  fuse:     Used           3, Free           1, Total          4, "
                              "Pct Used:  75.0%\n"),
              std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find("  eeprom: eeprom, by known region name\n"), std::string::npos);
}

TEST(UsageAreas, AreasOfADefinitionFileKeepNegativeFreeBytes) {
    // The memory report of tarvel's original formats prints an over-full area as it always did.
    usage_model model;
    fill(model, false);
    EXPECT_EQ(model.areas[0].free(), -0x80);
    std::ostringstream report;
    render_memory_report(report, model, nullptr);
    EXPECT_NE(report.str().find("Free        -128, Total        256, Pct Used: 150.0%\n"),
              std::string::npos)
        << report.str();
}

}  // namespace
}  // namespace tarvel
