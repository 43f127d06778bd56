// The filter strings a file requester is given, read into names and patterns.
#include "app/file_requester.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FileRequester, FilterStrings) {
  const auto filters = App::ParseFilters("Vault (*.lwv)|*.lwv|All files (*.*)|*.*");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].name, "Vault (*.lwv)");
  EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.lwv"});
  EXPECT_EQ(filters[1].name, "All files (*.*)");
  EXPECT_EQ(filters[1].patterns, std::vector<std::string>{"*"});
  const auto several = App::ParseFilters("Pictures|*.png;*.jpg|Odd");
  ASSERT_EQ(several.size(), 1u);  // a name without patterns is dropped
  EXPECT_EQ(several[0].patterns, (std::vector<std::string>{"*.png", "*.jpg"}));
  EXPECT_TRUE(App::ParseFilters("").empty());
}

}  // namespace
