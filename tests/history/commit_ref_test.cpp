// Which stored build a commit on the command line names.
#include <gtest/gtest.h>

#include "history/commit_ref.h"

namespace tarvel::test {
namespace {

// Newest first: c3 on c2 on c1; d1 has a parent that was never stored.
const std::vector<build_ref> builds{{"c3aaaa", "c2bbbb"},
                                    {"c2bbbb", "c1cccc"},
                                    {"c1cccc", ""},
                                    {"d1dddd", "ffffff"},
                                    {"c2bxyz", ""}};

std::string resolved(std::string_view text) {
    const ref_result result = resolve_commit(text, builds);
    return result.status == ref_status::found ? builds[result.position].commit
                                              : "(" + result.message + ")";
}

TEST(CommitRef, FullIdsUniquePrefixesAndHead) {
    EXPECT_EQ(resolved("c1cccc"), "c1cccc");
    EXPECT_EQ(resolved("c3"), "c3aaaa");
    EXPECT_EQ(resolved("HEAD"), "c3aaaa");
    // A full id wins over a longer id that begins with it.
    const std::vector<build_ref> nested{{"abcdef", ""}, {"abc", ""}};
    EXPECT_EQ(resolve_commit("abc", nested).position, 1u);
}

TEST(CommitRef, TildeStepsAlongTheStoredParents) {
    EXPECT_EQ(resolved("HEAD~0"), "c3aaaa");
    EXPECT_EQ(resolved("HEAD~1"), "c2bbbb");
    EXPECT_EQ(resolved("HEAD~2"), "c1cccc");
    EXPECT_EQ(resolved("c2bb~1"), "c1cccc");
}

TEST(CommitRef, RefusalsSayWhy) {
    EXPECT_EQ(resolve_commit("c2b", builds).status, ref_status::ambiguous);
    EXPECT_NE(resolve_commit("c2b", builds).message.find("2 stored builds"), std::string::npos);
    EXPECT_EQ(resolve_commit("e9", builds).status, ref_status::not_found);
    EXPECT_EQ(resolve_commit("HEAD~3", builds).status, ref_status::not_found);
    EXPECT_NE(resolve_commit("HEAD~3", builds).message.find("no stored parent"), std::string::npos);
    EXPECT_NE(resolve_commit("d1~1", builds).message.find("ffffff"), std::string::npos);
    for (const char* malformed : {"HEAD~", "HEAD~x", "HEAD~-1", "HEAD~1~1", ""}) {
        EXPECT_EQ(resolve_commit(malformed, builds).status, ref_status::malformed) << malformed;
    }
    EXPECT_EQ(resolve_commit("HEAD", {}).status, ref_status::not_found);
}

}  // namespace
}  // namespace tarvel::test
