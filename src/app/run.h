// The run sequence: banner, argument checks, memory analysis, optional EEPROM analysis.
#pragma once

namespace tarvel {

// Exit codes of a run.
enum exit_code : int {
    exit_success = 0,
    exit_invalid_path = -1,     // a path with a drive names nothing
    exit_not_found = -2,        // a relative path names nothing
    exit_memory_failed = -3,    // the memory analysis failed
    exit_eep_failed = -4,       // the EEPROM analysis failed
    exit_wrong_arguments = -5,  // not 3 or 4 arguments
};

int run(int argc, const char* const* argv);

}  // namespace tarvel
