// The areas that the MEMORY regions of a linker script make.
#pragma once

#include <vector>

#include "memdef/ld_script_memory.h"
#include "memdef/memory_def.h"

namespace tarvel {

// One area per region, in the script's order and named after it, of the kind a GNU ld map's
// region of the same name and attributes gets (gnu::decide_kind): the letters where they
// decide, else the name, so that "RAM : ORIGIN = ..." without letters is RAM. A region that
// begins beyond 32 bits is left out; one that reaches past 2^32 ends there. Replaces the areas
// of `def` and their names; false, with `def` unchanged, when no region is left.
bool areas_from_regions(const std::vector<ld_script_region>& regions, c_memory_def& def);

}  // namespace tarvel
