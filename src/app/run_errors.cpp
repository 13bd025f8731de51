#include "app/run_errors.h"

#include <ostream>

#include "app/run.h"

namespace tarvel {

int print_path_failure(std::ostream& out, input_path_problem problem, const char* what) {
    switch (problem) {
        case input_path_problem::invalid_path:
            out << "Invalid path for input " << what << " file" << std::endl;
            return exit_invalid_path;
        case input_path_problem::not_found:
            break;
    }
    out << "Could not find input " << what << " file" << std::endl;
    return exit_not_found;
}

void print_analysis_failure(std::ostream& out, analysis_status status) {
    switch (status) {
        case analysis_status::no_definition_name:
            out << "Tarvel:\tNo map def. file name." << std::endl;
            break;
        case analysis_status::no_map_name:
            out << "Tarvel:\tNo map file name." << std::endl;
            break;
        case analysis_status::unsupported_type:
            out << "Tarvel:\tMap definition file type is not supported." << std::endl;
            break;
        case analysis_status::invalid_definition:
            out << "Tarvel:\tInvalid memory definition file." << std::endl;
            break;
        case analysis_status::invalid_definition_and_map:
            out << "Tarvel:\tInvalid memory definition file." << std::endl;
            out << "Tarvel:\tInvalid memory map file." << std::endl;
            break;
        case analysis_status::invalid_map:
        case analysis_status::no_map_areas:
            out << "Tarvel:\tInvalid memory map file." << std::endl;
            break;
        case analysis_status::ok:
        case analysis_status::nothing_placed:
            break;
    }
}

void print_eep_failure(std::ostream& out, eep_problem problem) {
    switch (problem) {
        case eep_problem::no_file_name:
            out << "Tarvel:\tNo eep file name." << std::endl;
            return;
        case eep_problem::invalid_file:
            out << "Tarvel:\tInvalid eep file." << std::endl;
            return;
        case eep_problem::file_end:
            // Follows the reader's own "File end" line.
            out << "error in the analyze EEP size: " << std::endl;
            return;
    }
}

}  // namespace tarvel
