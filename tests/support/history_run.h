// Runs the built tarvel-history.
#pragma once

#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace tarvel::test {

inline std::string tarvel_history_executable() {
    return TARVEL_HISTORY_EXE;
}

inline process_result run_history(const c_temp_dir& dir,
                                  const std::vector<std::string>& arguments) {
    return run_program(tarvel_history_executable(), arguments, dir.path());
}

}  // namespace tarvel::test
