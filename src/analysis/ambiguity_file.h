// The ambiguity file: one line per name that the searches counted more than once.
#pragma once

#include <string>

#include "analysis/search_accounting.h"

namespace tarvel {

// The file "Tarvel.amb" in the directory of the map file (the map path cut after its last
// backslash or slash; the current directory when it has neither).
std::string ambiguity_file_path(const std::string& map_file_name);

// Writes the ambiguities to `path`. The content goes to a temporary file beside it first,
// which then replaces the file in one step, so an interrupted run never leaves a truncated
// file. Returns false when the file could not be written; the caller reports nothing then.
bool write_ambiguity_file(const std::string& path, const c_search_accounting& accounting);

}  // namespace tarvel
