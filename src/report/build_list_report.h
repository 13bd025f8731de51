// The stored builds as `tarvel-history list` prints them: a text table, JSON or CSV.
#pragma once

#include <ostream>
#include <vector>

#include "report/build_record.h"

namespace tarvel {

void render_build_list_text(std::ostream& out, const std::vector<build_row>& builds);
void render_build_list_json(std::ostream& out, const std::vector<build_row>& builds);
void render_build_list_csv(std::ostream& out, const std::vector<build_row>& builds);

}  // namespace tarvel
