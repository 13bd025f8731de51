// Small input files that several end-to-end tests share.
#pragma once

#include <string>

namespace tarvel::test {

// An EEPROM project source file with all four values: once size 0x100, triple size 0x40, once
// free 0x300, triple free 0x80. The first symbol list names two keys but is no key line.
inline const std::string sample_eep_source =
    "/* EepPrj.src, generated */\n"
    "EXTERN _IpdEep_nOnceDataSize, _IpdEep_nOnceDataFree;\n"
    "\n"
    "_IpdEep_nOnceDataSize\n    0100;\n"
    "_IpdEep_nTrippleDataSize\n    0040;\n"
    "_IpdEep_nOnceDataFree\n    0300;\n"
    "_IpdEep_nTrippleDataFree\n    0080;\n"
    "/* block table follows */\n";

}  // namespace tarvel::test
