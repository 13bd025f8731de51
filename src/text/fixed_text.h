// Numbers in fixed notation, as the reports print them.
#pragma once

#include <string>

namespace tarvel {

// `value` in fixed notation with `decimals` decimals, rounded the way the text report's stream
// rounds it, so that every format shows the same figure.
std::string fixed_text(double value, int decimals);

}  // namespace tarvel
