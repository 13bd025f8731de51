#include "text/fixed_text.h"

#include <iomanip>
#include <sstream>

namespace tarvel {

std::string fixed_text(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

}  // namespace tarvel
