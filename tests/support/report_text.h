// Expected texts shared by the end-to-end tests.
#pragma once

#include <string>

#include "app/banner.h"
#include "version_info.h"

namespace tarvel::test {

// What every run prints first: the banner lines, its empty line and the run's empty line.
inline std::string banner_text() {
    return "Tarvel.exe version 1.5 from " + build_date() + "\n" +
           TARVEL_LEGAL_COPYRIGHT "\n\n\n";
}

}  // namespace tarvel::test
