// Expected texts shared by the end-to-end tests.
#pragma once

#include <string>

#include "app/banner.h"
#include "version_info.h"

namespace tarvel::test {

// The program writes its output and its files in text mode, so on Windows every line ends in
// CR LF. Expected texts are written with "\n" and passed through this.
inline std::string native_lines(const std::string& text) {
#ifdef _WIN32
    std::string converted;
    for (const char c : text) {
        if (c == '\n') {
            converted += '\r';
        }
        converted += c;
    }
    return converted;
#else
    return text;
#endif
}

// What a run with the wrong number of arguments prints after the banner.
inline const std::string usage_text =
    "Tarvel:\tError: Wrong number of input parameters.\n"
    "Tarvel:\tPlease provide the proper number of input filename parameters (include EepPrj.src "
    "if necessary).\n";

// What every run prints first: the banner lines, its empty line and the run's empty line.
inline std::string banner_text() {
    return "Tarvel.exe version 1.5 from " + build_date() + "\n" + TARVEL_LEGAL_COPYRIGHT "\n\n\n";
}

// The frame that every memory report begins with, and its empty line.
inline const std::string report_head =
    "************************************\n"
    "*       Tarvel Memory Report       *\n"
    "*       In [Byte]                  *\n"
    "************************************\n"
    "\n";

}  // namespace tarvel::test
