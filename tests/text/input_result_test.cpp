#include "text/input_result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tarvel {
namespace {

TEST(LocatedMessage, NamesFileAndLineOnlyWhereKnown) {
    EXPECT_EQ(located_message({"memory.x", 4, "unknown region"}), "memory.x:4: unknown region");
    EXPECT_EQ(located_message({"memory.x", 0, "has no MEMORY"}), "memory.x: has no MEMORY");
    // A reader of text leaves the file to its caller: the reason stands alone.
    EXPECT_EQ(located_message({"", 7, "is not valid JSON"}), "is not valid JSON");
}

c_result<std::unique_ptr<int>> owned(bool ok) {
    if (!ok) {
        return input_error{"a.map", 3, "bad"};
    }
    return std::make_unique<int>(42);
}

TEST(Result, HoldsEitherTheValueOrTheError) {
    c_result<std::unique_ptr<int>> good = owned(true);
    ASSERT_TRUE(good);
    EXPECT_EQ(**good, 42);
    // A value that cannot be copied moves out whole.
    const std::unique_ptr<int> taken = std::move(good).value();
    EXPECT_EQ(*taken, 42);

    const c_result<std::unique_ptr<int>> bad = owned(false);
    ASSERT_FALSE(bad);
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().file, "a.map");
    EXPECT_EQ(bad.error().line, 3u);
    EXPECT_EQ(bad.error().what, "bad");
}

TEST(Result, AnErrorOfAnotherTypeIsToldFromAValueOfTheSameShape) {
    enum class problem { missing };
    // An enum error beside a string value, a string error beside a vector value.
    const c_result<std::string, problem> path = problem::missing;
    ASSERT_FALSE(path);
    EXPECT_EQ(path.error(), problem::missing);
    const c_result<std::string, problem> found = std::string("a.def");
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, "a.def");
    const c_result<std::vector<int>, std::string> refused = std::string("no such file");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), "no such file");
}

}  // namespace
}  // namespace tarvel
