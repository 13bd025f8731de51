#include "eep/analyze_eep_size.h"

namespace tarvel {

bool analyze_eep_size(const std::string& eep_file_name, std::ostream& out) {
    if (eep_file_name.empty()) {
        out << "Tarvel:\tNo eep file name." << std::endl;
        return false;
    }
    out << "Tarvel:\tInvalid eep file." << std::endl;
    return false;
}

}  // namespace tarvel
