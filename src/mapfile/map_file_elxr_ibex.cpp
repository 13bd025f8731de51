#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/section_map_evidence.h"

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

// A section that only the Ibex and Wren tables name, such as "data, initialized" or "bsct"
// (".data_begin", Wren's own, is not an Ibex name).
std::unique_ptr<c_format_evidence> c_map_file_elxr_ibex::evidence() {
    return std::make_unique<c_section_table_evidence>(
        3, [](std::string_view line, const section_line_fields&) {
            static const c_map_file_elxr puma{text_source{}};
            static const c_map_file_elxr_ibex ibex{text_source{}};
            section_line_fields fields;
            return !puma.line_regex().match(line, fields) && ibex.line_regex().match(line, fields);
        });
}

}  // namespace tarvel
