#include "app/report_errors.h"

#include <ostream>

#include "app/report_run.h"
#include "mapfile/map_formats.h"

namespace tarvel {

namespace {
// "1 line", "2 lines".
std::string count_of(std::uint64_t count, const char* one, const char* more) {
    return std::to_string(count) + " " + (count == 1 ? one : more);
}

// What went wrong, in the words of this program.
const char* analysis_message(analysis_status status) {
    switch (status) {
        case analysis_status::unsupported_type:
            return "the map type is not supported";
        case analysis_status::invalid_definition:
            return "cannot read the memory definition file, or it defines no area";
        case analysis_status::invalid_definition_and_map:
            return "cannot read the memory definition file nor the map file";
        case analysis_status::invalid_map:
            return "cannot read the map file";
        case analysis_status::no_map_areas:
            return "the map holds no memory regions to use as areas: give the linker script with "
                   "--ld-script or a memory definition file with --def";
        case analysis_status::no_definition_name:
            return "no memory definition file was given (--def)";
        case analysis_status::no_map_name:
            return "no map file was given (--map)";
        case analysis_status::ok:
        case analysis_status::nothing_placed:
            break;
    }
    return "";
}
}  // namespace

int report_analysis_failure(std::ostream& err, analysis_status status,
                            const std::string& definition, const std::string& map) {
    switch (status) {
        case analysis_status::ok:
        case analysis_status::nothing_placed:
            return 0;
        case analysis_status::no_definition_name:
        case analysis_status::unsupported_type:
        case analysis_status::no_map_areas:
            err << report_program << analysis_message(status) << "\n";
            return report_usage_error;
        case analysis_status::invalid_definition:
        case analysis_status::invalid_definition_and_map:
        case analysis_status::invalid_map:
        case analysis_status::no_map_name:
            break;
    }
    err << report_program << analysis_message(status) << " ('"
        << (status == analysis_status::invalid_definition ? definition : map) << "')\n";
    return report_input_error;
}

void explain_nothing_found(std::ostream& err, const usage_model& model) {
    const reader_counts& counts = model.reader;
    const std::string& type = model.input.type;
    if (counts.recognised == 0) {
        err << report_program << "the map '" << model.input.map << "' holds no entry of the type "
            << type << ": " << count_of(counts.lines_read, "line", "lines")
            << " read, none recognised.\n"
            << "Hint: is the type right? (--type auto finds the format from the map.)\n";
        return;
    }
    err << report_program << "no entry of the map '" << model.input.map
        << "' lies in a defined area: " << count_of(counts.lines_read, "line", "lines") << " read, "
        << count_of(counts.recognised, "entry", "entries") << " of the type " << type
        << " recognised";
    if (counts.dropped_total() > 0) {
        err << ", " << counts.dropped_total() << " of them left out by the format's rules";
    }
    if (counts.unplaced > 0) {
        err << ", " << counts.unplaced << " outside every area";
    }
    err << ".\n";
    // With nothing outside the areas, the areas are not what left the map empty.
    if (counts.unplaced == 0) {
        err << "Hint: the format's rules left out every entry:";
        const char* separator = " ";
        for (const drop_count& rule : counts.dropped) {
            err << separator << rule.rule << " (" << rule.count << ")";
            separator = ", ";
        }
        err << ".\n";
        return;
    }
    err << "Hint: do the areas of "
        << (model.input.definition.empty() ? "the map's memory regions"
                                           : "'" + model.input.definition + "'")
        << " cover the entries' addresses?";
    const map_format* format = find_map_format(type);
    if (format != nullptr && !format->address_note.empty()) {
        err << " " << type << " maps " << format->address_note << ".";
    }
    err << "\n";
}

void print_eep_failure(std::ostream& err, eep_problem problem, const std::string& path) {
    err << report_program << "cannot read the EEPROM sizes from '" << path << "': "
        << (problem == eep_problem::file_end
                ? "the file ends before the value of _IpdEep_nTrippleDataFree"
                : "it cannot be opened")
        << "\n";
}

}  // namespace tarvel
