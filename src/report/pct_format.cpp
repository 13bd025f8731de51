#include "report/pct_format.h"

#include <iomanip>
#include <sstream>

namespace tarvel {

std::string format_pct_used(double percent) {
    std::ostringstream text;
    text << "Pct Used: " << std::fixed << std::setprecision(1) << std::right << std::setw(5)
         << percent << '%';
    return text.str();
}

}  // namespace tarvel
