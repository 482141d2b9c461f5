// Sensitivity levels as the user reads them: a level stores a CPI step index
// 1..12, shown as counts per inch.
//
//   index  1    2    3    4     5     6     7     8     9     10    11    12
//   CPI    250  500  750  1000  1250  1500  1750  2000  2500  3000  3500  4000
//
// A number the user types is snapped to the index whose CPI it is nearest
// to, by fixed bounds (<= 350 -> 1, <= 600 -> 2, ... <= 3700 -> 11, else 12).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mt {

inline constexpr int kCpiIndexMin = 1;
inline constexpr int kCpiIndexMax = 12;

// The CPI of an index 1..12; 0 for any other index.
int cpi_of_index(int index);

// The text of an index: "%d" of index x 250 for 1..8, "2500", "3000",
// "3500", "4000" for 9..12. An index outside 1..12 has no CPI and gives "".
std::u16string cpi_text(int index);

// The index a typed CPI value snaps to (any value, negative ones give 1).
int snap_cpi_to_index(long long typed);

// The number in a CPI field's text as the user typed it: decimal digits, ","
// as a thousands separator that is skipped, and "." ending the whole part
// ("2,500" -> 2500, "1750.9" -> 1750). Nothing when there is no digit before
// the "."; very long numbers saturate instead of wrapping.
std::optional<long long> parse_typed_cpi(std::u16string_view text);

}  // namespace mt
