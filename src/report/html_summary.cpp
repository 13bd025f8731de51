#include "report/html_summary.h"

#include "report/html_text.h"
#include "text/fixed_text.h"

namespace tarvel {

namespace {
void definition_line(std::ostream& out, const char* label, const std::string& value) {
    out << "<dt>" << label << "</dt><dd>" << html_escaped(value) << "</dd>\n";
}

// `over`: the bytes used beyond the total of an area that a failed link filled; 0 for none.
void figure_row(std::ostream& out, const std::string& name, const std::string& used,
                const std::string& free, std::uint32_t total, double percent,
                std::uint32_t over = 0) {
    out << (over > 0 ? "<tr class=\"overfull\">" : "<tr>") << "<th scope=\"row\">"
        << html_escaped(name) << "</th><td>" << used << "</td><td>" << free << "</td><td>" << total
        << "</td><td>" << fixed_text(percent, 1) << "%";
    if (over > 0) {
        out << ", over by " << over << " bytes";
    }
    out << "</td></tr>\n";
}

void total_row(std::ostream& out, const char* name, const memory_total& total) {
    figure_row(out, name, fixed_text(total.used(), 0), fixed_text(total.free(), 0), total.total,
               total.used_percent());
}
}  // namespace

void render_html_summary(std::ostream& out, const usage_model& model,
                         const html_summary_info& info) {
    const input_files& input = model.input;
    out << "<section id=\"tarvel-summary\" class=\"summary\">\n<h1>Tarvel memory "
           "report</h1>\n<dl>\n";
    definition_line(out, "Map", input.map);
    definition_line(out, "Map type", input.type + (input.detected ? " (detected)" : ""));
    definition_line(out, "Memory definition",
                    input.definition.empty() ? "the map's memory regions" : input.definition);
    if (!input.eep.empty()) {
        definition_line(out, "EEPROM file", input.eep);
    }
    definition_line(out, "Run", info.run_date);
    definition_line(out, "Version", info.version);
    out << "</dl>\n<table>\n<thead><tr><th scope=\"col\">Memory</th><th scope=\"col\">Used "
           "bytes</th><th scope=\"col\">Free bytes</th><th scope=\"col\">Total bytes</th><th "
           "scope=\"col\">Used</th></tr></thead>\n<tbody>\n";
    total_row(out, "RAM", model.ram);
    total_row(out, "ROM", model.rom);
    for (const area_usage& area : model.areas) {
        figure_row(out, area.name, std::to_string(area.used_rounded()), std::to_string(area.free()),
                   area.size, area.used_percent(),
                   area.shows_overflow && !model.without_regions() ? area.over() : 0);
    }
    out << "</tbody>\n</table>\n<p>The treemaps and the table of entries are drawn by the page's "
           "script, which this viewer did not run.</p>\n</section>\n";
}

}  // namespace tarvel
