#include "report/ambiguity_report.h"

namespace tarvel {

std::string ambiguity_file_path(const std::string& map_file_name) {
    const std::size_t separator = map_file_name.find_last_of("\\/");
    const std::string directory =
        separator == std::string::npos ? std::string() : map_file_name.substr(0, separator + 1);
    return directory + "Tarvel.amb";
}

void write_ambiguity_line(c_buffered_writer& out, std::string_view name, std::string_view search,
                          std::string_view earlier_search) {
    out.put(name)
        .put(": Found in [ ")
        .put(search)
        .put("] and in [ ")
        .put(earlier_search)
        .put("]\n");
}

void render_ambiguities(std::ostream& out, const usage_model& model) {
    c_buffered_writer writer(out);
    for (const ambiguity& record : model.ambiguities()) {
        write_ambiguity_line(writer, record.name, model.searches[record.search].text,
                             model.searches[record.earlier_search].text);
    }
}

}  // namespace tarvel
