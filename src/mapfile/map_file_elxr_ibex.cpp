#include "mapfile/map_file_elxr_ibex.h"

namespace tarvel {

const std::vector<std::string>& c_map_file_elxr_ibex::section_names() const {
    // "data, initialized" holds a comma and a blank: its name token is the whole text, since
    // a section line needs white space after the name and "data" alone is followed by ",".
    static const std::vector<std::string> names{
        "bsct",          "ubsct",     "share",     "data",        "data, initialized", "bss",
        "IpdSysTestRam", "HalADCRam", "IpdEepRam", "IpdParamRam", "NvmBuffer",         "NoClear",
        "MY_STACK",      "eeprom",    "OptBytes",  "OptByTMU",    "OptByBL",           "vector",
        "PBL",           "const",     "text",      "ISR",         "STARTUPFUNC",       "CfgId",
        "Reserved",      "init"};
    return names;
}

}  // namespace tarvel
