// Percentages of the reports.
#pragma once

namespace tarvel {

// part * 100 / whole, or 0 when the whole is 0: a report shows "0.0", never "nan" or "inf".
inline double percent_of(double part, double whole) {
    return whole == 0.0 ? 0.0 : part * 100.0 / whole;
}

}  // namespace tarvel
