// The storage of builds, run against both engines: what is added comes back byte for byte,
// what a second add, a migration, a prune or a trend may and may not change.
#include <gtest/gtest.h>

#include "history/stored_report.h"
#include "support/history_reports.h"

namespace tarvel::test {
namespace {

class HistoryStore : public ::testing::TestWithParam<engine> {
  protected:
    void SetUp() override {
        db = fresh_db(GetParam(), dir);
        TARVEL_NEED_ENGINE(db);
        store = open_store(db);
        ASSERT_NE(store, nullptr);
    }

    add_result add(const std::string& commit, const std::string& parent, const std::string& report,
                   const std::string& branch = "main", bool replace = false,
                   const std::string& target = "app") {
        const c_result<stored_report> stored = store_report(report);
        EXPECT_TRUE(stored);
        // Times in the order of the adds.
        std::string time = "2026-12-01T10:00:";
        time.append(std::to_string(10 + adds++)).append("Z");
        const build_info info{target, commit, parent, branch, time, {{"ci", "1"}}};
        const db_result<add_result> result = store->add(info, *stored, replace);
        EXPECT_TRUE(result) << result.error().what;
        return result ? *result : add_result::duplicate;
    }

    std::string report_of(const std::string& commit) {
        const db_result<std::string> report = store->report("app", commit);
        return report ? *report : std::string("(none) ").append(report.error().what);
    }

    c_temp_dir dir;
    std::string db;
    std::unique_ptr<c_history_store> store;
    int adds = 0;
};

TEST_P(HistoryStore, ReportsComeBackByteForByteAndDuplicatesAreRefused) {
    const std::string first = flash_report(100, {{".text", 60}, {".data", 40}});
    const std::string second = flash_report(130, {{".text", 90}, {".data", 40}});
    EXPECT_EQ(add("c1", "", first), add_result::added);
    EXPECT_EQ(add("c1", "", second), add_result::duplicate);
    EXPECT_EQ(report_of("c1"), first);
    EXPECT_EQ(add("c1", "", second, "main", true), add_result::replaced);
    EXPECT_EQ(report_of("c1"), second);
    // The same commit of another target is another build.
    EXPECT_EQ(add("c1", "", first, "main", false, "boot"), add_result::added);

    const db_result<std::vector<build_row>> listed = store->list({});
    ASSERT_TRUE(listed) << listed.error().what;
    const std::vector<build_row>& rows = *listed;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].info.target, "boot");
    EXPECT_EQ(rows[0].rom_used, 130);
    EXPECT_EQ(rows[0].entry_count, 2);
    EXPECT_EQ(rows[0].info.labels, (std::vector<std::pair<std::string, std::string>>{{"ci", "1"}}));
}

TEST_P(HistoryStore, ListsFilterByTargetAndBranchAndKeepTheNewest) {
    add("c1", "", flash_report(1));
    add("c2", "c1", flash_report(2));
    add("f1", "c2", flash_report(3), "feature");
    add("c3", "c2", flash_report(4));
    const db_result<std::vector<build_row>> rows = store->list({"app", "main", 2});
    ASSERT_TRUE(rows) << rows.error().what;
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].info.commit, "c2");  // oldest first
    EXPECT_EQ((*rows)[1].info.commit, "c3");
    const db_result<std::vector<build_row>> none = store->list({"other", "", 0});
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());

    const db_result<std::vector<build_ref>> refs = store->refs("app");
    ASSERT_TRUE(refs);
    ASSERT_EQ(refs->size(), 4u);
    EXPECT_EQ((*refs)[0].commit, "c3");
    EXPECT_EQ((*refs)[0].parent, "c2");
}

TEST_P(HistoryStore, PruneKeepsEverySummaryAndTheNewestEntryListsOfEachBranch) {
    for (int i = 1; i <= 4; ++i) {
        add(std::string("m").append(std::to_string(i)), "", flash_report(i, {{".text", i}}));
    }
    add("f1", "", flash_report(9, {{".text", 9}}), "feature");
    const db_result<std::int64_t> pruned = store->prune(2);
    ASSERT_TRUE(pruned) << pruned.error().what;
    EXPECT_EQ(*pruned, 2);
    for (const auto& [commit, kept] :
         {std::pair{"m1", false}, std::pair{"m2", false}, std::pair{"m3", true},
          std::pair{"m4", true}, std::pair{"f1", true}}) {
        const db_result<bool> has = store->has_entries("app", commit);
        ASSERT_TRUE(has) << commit;
        EXPECT_EQ(*has, kept) << commit;
    }
    // A pruned report is whole but for its entries.
    EXPECT_EQ(report_of("m1"), flash_report(1));
    EXPECT_EQ(report_of("m4"), flash_report(4, {{".text", 4}}));
    const db_result<std::int64_t> again = store->prune(2);
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, 0);
    const db_result<trend_data> trend = store->trend("app", "main", {});
    ASSERT_TRUE(trend);
    EXPECT_EQ(trend->builds.size(), 4u);
}

TEST_P(HistoryStore, TrendHoldsEveryAreaOverTheBranchWithGapsWhereABuildLacksOne) {
    add("c1", "", flash_report(100));
    add("c2", "c1",
        make_report({{"FLASH", "program", 65536, 150}, {"BOOT", "program", 4096, 10}}, {}));
    add("x1", "", flash_report(999), "other");
    const db_result<trend_data> read = store->trend("app", "main", {});
    ASSERT_TRUE(read) << read.error().what;
    const trend_data& trend = *read;
    ASSERT_EQ(trend.builds.size(), 2u);
    EXPECT_EQ(trend.builds[1].parent, "c1");
    ASSERT_EQ(trend.areas.size(), 3u);
    EXPECT_EQ(trend.areas[0].name, "FLASH");
    EXPECT_EQ(trend.areas[0].used, (std::vector<std::optional<std::uint64_t>>{100, 150}));
    EXPECT_EQ(trend.areas[1].name, "RAM");
    EXPECT_EQ(trend.areas[1].used, (std::vector<std::optional<std::uint64_t>>{1024, std::nullopt}));
    EXPECT_EQ(trend.areas[2].kind, "program");
    EXPECT_EQ(trend.areas[2].size, (std::vector<std::optional<std::uint64_t>>{std::nullopt, 4096}));

    const db_result<trend_data> only = store->trend("app", "", {"RAM"});
    ASSERT_TRUE(only);
    EXPECT_EQ(only->builds.size(), 3u);
    ASSERT_EQ(only->areas.size(), 1u);
    EXPECT_EQ(only->areas[0].name, "RAM");
}

TEST_P(HistoryStore, StepsAreBuildsAgainstTheirStoredParentsLargestGrowthFirst) {
    add("c1", "", flash_report(100));
    add("c2", "c1", flash_report(400));
    add("c3", "c2", flash_report(300));
    add("c4", "c3", flash_report(350));
    add("c5", "gone", flash_report(9000));  // its parent is not stored
    const db_result<std::vector<blame_step>> found = store->steps("app", "FLASH");
    ASSERT_TRUE(found) << found.error().what;
    const std::vector<blame_step>& steps = *found;
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].commit, "c2");
    EXPECT_EQ(steps[0].change(), 300);
    EXPECT_EQ(steps[1].commit, "c4");
    EXPECT_EQ(steps[2].change(), -100);
}

TEST_P(HistoryStore, MigratesAVersionOneDatabaseAndRefusesANewerOne) {
    // A database made by the first schema, with a build in it.
    c_temp_dir other;
    const std::string old_db = fresh_db(GetParam(), other);
    {
        auto database = open_database(old_db, true);
        ASSERT_TRUE(database) << database.error().what;
        c_history_store old_store(std::move(database).value());
        const db_result<> migrated = old_store.migrate_to(1);
        ASSERT_TRUE(migrated) << migrated.error().what;
        const db_result<int> version = old_store.schema_version();
        ASSERT_TRUE(version);
        EXPECT_EQ(*version, 1);
        const c_result<stored_report> stored = store_report(flash_report(5));
        const db_result<add_result> added =
            old_store.add({"app", "old", "", "", "2026-01-01", {}}, *stored, false);
        ASSERT_TRUE(added);
        EXPECT_EQ(*added, add_result::added);
    }
    auto migrated = open_store(old_db);
    ASSERT_NE(migrated, nullptr);
    const db_result<int> version = migrated->schema_version();
    ASSERT_TRUE(version);
    EXPECT_EQ(*version, history_schema_version);
    const db_result<std::string> report = migrated->report("app", "old");
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, flash_report(5));

    ASSERT_TRUE(migrated->database().run("UPDATE tarvel_schema SET version = 99", {}));
    auto database = open_database(old_db, false);
    ASSERT_TRUE(database);
    c_history_store newer(std::move(database).value());
    const db_result<> prepared = newer.prepare();
    ASSERT_FALSE(prepared);
    EXPECT_NE(prepared.error().what.find("version is 99"), std::string::npos)
        << prepared.error().what;
}

INSTANTIATE_TEST_SUITE_P(Engines, HistoryStore,
                         ::testing::Values(engine::sqlite, engine::postgresql),
                         [](const auto& info) { return engine_name(info.param); });

TEST(StoredReport, SplitsTheEntryListOffAndJoinsItBack) {
    const std::string report = flash_report(10, {{"a", 1}, {"b[]", 2}});
    const c_result<stored_report> stored = store_report(report);
    ASSERT_TRUE(stored) << stored.error().what;
    EXPECT_EQ(stored->entry_count, 2u);
    EXPECT_EQ(stored->summary.find("\"b[]\""), std::string::npos);
    EXPECT_EQ(stored->rom_used, 10);
    ASSERT_EQ(stored->areas.size(), 2u);
    EXPECT_EQ(stored->areas[1].kind, "ram");
    EXPECT_EQ(join_report(stored->summary, stored->entries_at, stored->entries), report);
}

TEST(StoredReport, RefusesWhatIsNoReportOfThisVersion) {
    const c_result<stored_report> not_json = store_report("not json");
    ASSERT_FALSE(not_json);
    EXPECT_NE(not_json.error().what.find("is not valid JSON"), std::string::npos);
    std::string other = flash_report(1);
    other.replace(other.find("\"version\":1"), 11, "\"version\":2");
    const c_result<stored_report> newer = store_report(other);
    ASSERT_FALSE(newer);
    EXPECT_NE(newer.error().what.find("version 2"), std::string::npos) << newer.error().what;
    EXPECT_FALSE(store_report("{\"format\":\"something-else\",\"version\":1}"));
}

}  // namespace
}  // namespace tarvel::test
