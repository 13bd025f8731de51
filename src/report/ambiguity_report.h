// The ambiguity file: one line per name that the searches counted more than once.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "analysis/usage_model.h"
#include "text/buffered_writer.h"

namespace tarvel {

// The file "Tarvel.amb" in the directory of the map file (the map path cut after its last
// backslash or slash; the current directory when it has neither).
std::string ambiguity_file_path(const std::string& map_file_name);

// "<name>: Found in [ <search>] and in [ <earlier search>]": one line of the file.
void write_ambiguity_line(c_buffered_writer& out, std::string_view name, std::string_view search,
                          std::string_view earlier_search);

// A line per record the model keeps.
void render_ambiguities(std::ostream& out, const usage_model& model);

}  // namespace tarvel
