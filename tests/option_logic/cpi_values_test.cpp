#include "option/logic/cpi_values.h"

#include <gtest/gtest.h>

#include <climits>

namespace mt {
namespace {

TEST(CpiText, EveryIndex) {
  struct Row {
    int cpi;
    const char16_t* text;
  };
  const Row rows[] = {{250, u"250"},   {500, u"500"},   {750, u"750"},   {1000, u"1000"},
                      {1250, u"1250"}, {1500, u"1500"}, {1750, u"1750"}, {2000, u"2000"},
                      {2500, u"2500"}, {3000, u"3000"}, {3500, u"3500"}, {4000, u"4000"}};
  for (int i = 1; i <= 12; ++i) {
    EXPECT_EQ(cpi_of_index(i), rows[i - 1].cpi) << i;
    EXPECT_EQ(cpi_text(i), rows[i - 1].text) << i;
  }
  // No CPI outside the table: nothing to show, rather than "0" or "-250".
  for (int i : {0, -1, 13, INT_MIN, INT_MAX}) {
    EXPECT_EQ(cpi_text(i), u"") << i;
    EXPECT_EQ(cpi_of_index(i), 0) << i;
  }
}

TEST(CpiSnap, TypedValuesToTheTable) {
  struct Case {
    long long typed;
    int index;
  };
  const Case cases[] = {
      {LLONG_MIN, 1}, {-5, 1},    {0, 1},     {350, 1},   {351, 2},   {600, 2},  {601, 3},
      {850, 3},       {851, 4},   {1100, 4},  {1101, 5},  {1350, 5},  {1351, 6}, {1600, 6},
      {1601, 7},      {1850, 7},  {1851, 8},  {2200, 8},  {2201, 9},  {2700, 9}, {2701, 10},
      {3200, 10},     {3201, 11}, {3700, 11}, {3701, 12}, {4000, 12}, {LLONG_MAX, 12},
  };
  for (const Case& c : cases) EXPECT_EQ(snap_cpi_to_index(c.typed), c.index) << c.typed;
  // Every table value snaps to itself.
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(snap_cpi_to_index(cpi_of_index(i)), i);
}

TEST(CpiSnap, TypedText) {
  struct Case {
    const char16_t* text;
    std::optional<long long> value;
  };
  const Case cases[] = {
      {u"2500", 2500},   {u"2,500", 2500}, {u"1750.9", 1750}, {u"007", 7},
      {u"", std::nullopt}, {u",", std::nullopt}, {u".5", std::nullopt}, {u"12x3", 12},
      {u"99999999999999999999999", 1'000'000'000'000LL},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_typed_cpi(c.text), c.value);
}

}  // namespace
}  // namespace mt
