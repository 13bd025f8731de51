// The memory use of a target's builds along a branch as one self-contained HTML page: a line
// chart per memory area with the area's size, the largest steps marked, and a table of the
// builds, drawn in the browser from the trend embedded in the page as JSON.
#pragma once

#include <string>

#include "report/trend_data.h"

namespace tarvel {

// The page. It loads nothing from elsewhere and its policy forbids it to; every text of the
// data stands in it escaped. An area's figures are taken one per build: where a list is
// shorter than the builds, the missing figures count as absent. The JSON holds every figure
// exactly; the page's script reads them as doubles, exact up to 2^53 bytes.
std::string render_trend_html(const trend_data& data);

}  // namespace tarvel
