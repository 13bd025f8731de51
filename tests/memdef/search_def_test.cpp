#include "memdef/search_def.h"

#include <gtest/gtest.h>

namespace tarvel {
namespace {

TEST(SearchMatch, AllOrAnyAndNotNone) {
    const search_def can = parse_terms("Can |Com |Lin !Test");
    EXPECT_TRUE(can.matches("Can_Init"));   // all terms
    EXPECT_TRUE(can.matches("Com_Send"));   // an any term
    EXPECT_FALSE(can.matches("Can_Test"));  // a none term
    EXPECT_FALSE(can.matches("Dio_Write"));
    EXPECT_FALSE(can.matches("can_init"));  // case-sensitive

    const search_def both = parse_terms("App Core");
    EXPECT_TRUE(both.matches("AppCore"));
    EXPECT_FALSE(both.matches("App"));
    EXPECT_FALSE(both.matches("Ap"));  // a term longer than the name does not occur

    EXPECT_FALSE(parse_terms("!x").matches("y"));  // only none terms: never a match
    EXPECT_TRUE(parse_terms("|").matches(""));     // an empty term occurs in every name
    EXPECT_FALSE(parse_terms("| !").matches("abc"));
}

TEST(SearchText, ListsAllThenAnyThenNoneTermsEachWithABlank) {
    EXPECT_EQ(parse_terms("!Test |Os App Core").describe(), "App Core |Os !Test ");
    EXPECT_EQ(parse_terms("| !").describe(), "| ! ");
}

TEST(SearchAdd, CreditsOnlyValidSearchesModulo32Bits) {
    search_def search = parse_terms("x");
    EXPECT_TRUE(search.add(0xFFFFFFFF));
    EXPECT_TRUE(search.add(2));
    EXPECT_EQ(search.total, 1u);

    search_def invalid;
    EXPECT_FALSE(invalid.add(5));
    EXPECT_EQ(invalid.total, 0u);
    EXPECT_FALSE(parse_terms(" \t ").valid);
}

}  // namespace
}  // namespace tarvel
