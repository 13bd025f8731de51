// The linker script that --ld-script names, read from disk with the files it INCLUDEs.
#pragma once

#include <string>
#include <vector>

#include "memdef/ld_script_memory.h"

namespace tarvel {

// Reads the regions of the MEMORY commands of the script `path`. An INCLUDE names a file beside
// the script that holds it, or else a path as given (relative to the working directory), as
// GNU ld looks first in the script's directory and then in its search path. The message, which
// names the file, when the script or an included file cannot be read or its MEMORY cannot be
// evaluated.
c_result<std::vector<ld_script_region>, std::string> read_ld_script_file(const std::string& path);

}  // namespace tarvel
