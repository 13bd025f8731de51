// The EEPROM report as text: the block of all EEPROM data, then once and triple data.
#pragma once

#include <ostream>

#include "analysis/eep_usage.h"

namespace tarvel {

void render_eep_report(std::ostream& out, const eep_usage& usage);

}  // namespace tarvel
