// The ambiguity file: one line per name that the searches counted more than once.
#pragma once

#include <ostream>
#include <string>

#include "analysis/usage_model.h"

namespace tarvel {

// The file "Tarvel.amb" in the directory of the map file (the map path cut after its last
// backslash or slash; the current directory when it has neither).
std::string ambiguity_file_path(const std::string& map_file_name);

// "<name>: Found in [ <search>] and in [ <earlier search>]", a line per record.
void render_ambiguities(std::ostream& out, const usage_model& model);

}  // namespace tarvel
