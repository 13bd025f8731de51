#include "report/ambiguity_report.h"

namespace tarvel {

std::string ambiguity_file_path(const std::string& map_file_name) {
    const std::size_t separator = map_file_name.find_last_of("\\/");
    const std::string directory =
        separator == std::string::npos ? std::string() : map_file_name.substr(0, separator + 1);
    return directory + "Tarvel.amb";
}

void render_ambiguities(std::ostream& out, const usage_model& model) {
    for (const ambiguity& record : model.ambiguities()) {
        out << record.name << ": Found in [ " << model.searches[record.search].text << "] and in [ "
            << model.searches[record.earlier_search].text << "]\n";
    }
}

}  // namespace tarvel
