#include "analysis/usage_diff.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarvel {
namespace {

// "area/name status before->after", one per listed entry change, in the diff's order.
std::vector<std::string> listed(const usage_diff& diff) {
    std::vector<std::string> lines;
    for (const entry_change& change : diff.entries) {
        std::ostringstream line;
        line << change.area << "/" << change.name << " " << entry_status_name(change.status) << " "
             << change.before << "->" << change.after;
        lines.push_back(line.str());
    }
    return lines;
}

usage_snapshot with_entries(std::vector<snapshot_entry> entries) {
    usage_snapshot snapshot;
    snapshot.entries = std::move(entries);
    return snapshot;
}

TEST(UsageDiff, AddedRemovedGrewAndShrankAreListedUnchangedAreNot) {
    const usage_snapshot base = with_entries(
        {{"A", "same", 10}, {"A", "grows", 10}, {"A", "shrinks", 10}, {"A", "goes", 4}});
    const usage_snapshot current =
        with_entries({{"A", "new", 3}, {"A", "shrinks", 9}, {"A", "grows", 30}, {"A", "same", 10}});
    EXPECT_EQ(listed(diff_usage(base, current)),
              (std::vector<std::string>{"A/grows grew 10->30", "A/goes removed 4->0",
                                        "A/new added 0->3", "A/shrinks shrank 10->9"}));
}

TEST(UsageDiff, EqualNamesAreMatchedByTheirOrder) {
    // Three entries of one name in the base, two in this build: the first two are compared
    // with the first two, and the third was removed.
    const usage_snapshot base = with_entries(
        {{"A", ".text", 100}, {"A", ".text", 200}, {"A", ".other", 1}, {"A", ".text", 300}});
    const usage_snapshot current =
        with_entries({{"A", ".text", 100}, {"A", ".other", 1}, {"A", ".text", 250}});
    EXPECT_EQ(listed(diff_usage(base, current)),
              (std::vector<std::string>{"A/.text removed 300->0", "A/.text grew 200->250"}));

    // One more in this build than in the base: the last one is new.
    const usage_snapshot more = with_entries({{"A", ".text", 100},
                                              {"A", ".text", 200},
                                              {"A", ".text", 300},
                                              {"A", ".text", 300},
                                              {"A", ".other", 1}});
    EXPECT_EQ(listed(diff_usage(base, more)), (std::vector<std::string>{"A/.text added 0->300"}));
}

TEST(UsageDiff, EntriesAreMatchedWithinTheirArea) {
    // The same name in two areas is two entries; moving from one area to the other is a
    // removal and an addition.
    const usage_snapshot base = with_entries({{"Prg seg0", "x", 8}, {"Ram seg0", "x", 4}});
    const usage_snapshot current = with_entries({{"Ram seg0", "x", 4}, {"Prg seg1", "x", 8}});
    EXPECT_EQ(listed(diff_usage(base, current)),
              (std::vector<std::string>{"Prg seg1/x added 0->8", "Prg seg0/x removed 8->0"}));
    // An area and a name that run together differently are not the same key.
    const usage_snapshot split_a = with_entries({{"ab", "c", 1}});
    const usage_snapshot split_b = with_entries({{"a", "bc", 1}});
    EXPECT_EQ(diff_usage(split_a, split_b).entries.size(), 2u);
}

TEST(UsageDiff, LargestChangeFirstAndEqualChangesInThisBuildsOrderThenTheRemoved) {
    const usage_snapshot base =
        with_entries({{"A", "r1", 50}, {"A", "g", 10}, {"A", "r2", 5}, {"A", "s", 100}});
    const usage_snapshot current =
        with_entries({{"A", "s", 95}, {"A", "a1", 50}, {"A", "g", 60}, {"A", "a2", 5}});
    EXPECT_EQ(
        listed(diff_usage(base, current)),
        (std::vector<std::string>{"A/a1 added 0->50", "A/g grew 10->60", "A/r1 removed 50->0",
                                  "A/s shrank 100->95", "A/a2 added 0->5", "A/r2 removed 5->0"}));
}

TEST(UsageDiff, ManyEntriesOfManyNames) {
    // Enough keys that the index's table fills and its chains are long.
    usage_snapshot base;
    usage_snapshot current;
    for (int i = 0; i < 5000; ++i) {
        std::string name = std::to_string(i % 700);
        name.insert(0, 1, 'n');
        base.entries.push_back({"A", name, i});
        current.entries.push_back({"A", name, i + (i % 7 == 0 ? 1 : 0)});
    }
    current.entries.push_back({"A", "n3", 1});
    const usage_diff diff = diff_usage(base, current);
    std::size_t grew = 0;
    for (const entry_change& change : diff.entries) {
        if (change.status == entry_status::grew) {
            EXPECT_EQ(change.after - change.before, 1);
            ++grew;
        }
    }
    EXPECT_EQ(grew, 715u);  // 0, 7, ..., 4998
    EXPECT_EQ(diff.entries.size(), 716u);
    EXPECT_EQ(listed(diff).back(), "A/n3 added 0->1");
}

TEST(UsageDiff, TotalsAreasAndSearchesWithTheBaseOnlyOnesAfter) {
    usage_snapshot base;
    base.ram_used = 100;
    base.rom_used = 0;
    base.areas = {{"Old", 30}, {"Prg seg0", 200}};
    base.searches = {{"a ", 10}, {"gone ", 5}};
    usage_snapshot current;
    current.ram_used = 90;
    current.rom_used = 50;
    current.areas = {{"Prg seg0", 250}, {"New", 0}};
    current.searches = {{"b ", 1}, {"a ", 10}};
    const usage_diff diff = diff_usage(base, current);

    EXPECT_EQ(diff.ram.before, 100);
    EXPECT_EQ(diff.ram.after, 90);
    EXPECT_EQ(diff.ram.change, -10);
    EXPECT_DOUBLE_EQ(diff.ram.change_percent().value(), -10.0);
    EXPECT_EQ(diff.rom.change, 50);
    EXPECT_FALSE(diff.rom.change_percent().has_value());  // nothing before: no percentage

    const auto figures = [](const std::vector<figure_change>& changes) {
        std::vector<std::string> lines;
        for (const figure_change& c : changes) {
            std::ostringstream line;
            line << c.label << ":" << c.before << "->" << c.after << "=" << c.change;
            lines.push_back(line.str());
        }
        return lines;
    };
    EXPECT_EQ(figures(diff.areas),
              (std::vector<std::string>{"Prg seg0:200->250=50", "New:0->0=0", "Old:30->0=-30"}));
    EXPECT_EQ(figures(diff.searches),
              (std::vector<std::string>{"b :0->1=1", "a :10->10=0", "gone :5->0=-5"}));
    EXPECT_DOUBLE_EQ(diff.areas[0].change_percent().value(), 25.0);
    EXPECT_FALSE(diff.areas[1].change_percent().has_value());
    EXPECT_DOUBLE_EQ(diff.areas[2].change_percent().value(), -100.0);
}

TEST(UsageDiff, EmptySnapshotsGiveAnEmptyDiff) {
    const usage_diff diff = diff_usage({}, {});
    EXPECT_TRUE(diff.entries.empty());
    EXPECT_TRUE(diff.areas.empty());
    EXPECT_EQ(diff.ram.change, 0);
    EXPECT_EQ(entry_status_name(entry_status::shrank), std::string("shrank"));
}

}  // namespace
}  // namespace tarvel
