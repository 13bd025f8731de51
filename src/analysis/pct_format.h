#pragma once

#include <string>

namespace tarvel {

// "Pct Used: " and the percent with one decimal, right-aligned in five columns, then "%".
std::string format_pct_used(double percent);

// part * 100 / whole, or 0 when the whole is 0: a report shows "0.0", never "nan" or "inf".
double percent_of(double part, double whole);

}  // namespace tarvel
