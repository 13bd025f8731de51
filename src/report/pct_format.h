#pragma once

#include <string>

#include "analysis/percent.h"

namespace tarvel {

// "Pct Used: " and the percent with one decimal, right-aligned in five columns, then "%".
std::string format_pct_used(double percent);

}  // namespace tarvel
