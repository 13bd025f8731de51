// A trend as scripts read it: CSV, one row per build and area, or JSON.
#pragma once

#include <ostream>

#include "report/trend_data.h"

namespace tarvel {

// Columns: commit, parent, time, area, kind, used, size; a build without the area has empty
// figures.
void render_trend_csv(std::ostream& out, const trend_data& data);
void render_trend_json(std::ostream& out, const trend_data& data);

}  // namespace tarvel
