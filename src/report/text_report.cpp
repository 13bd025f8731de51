#include "report/text_report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iomanip>
#include <optional>

#include "analysis/section_kind_use.h"
#include "mapfile/origin_table.h"
#include "report/eep_report.h"
#include "report/memory_report.h"
#include "report/report_sections.h"

namespace tarvel {

namespace {
std::string hex_address(std::uint32_t address) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "0x%08X", static_cast<unsigned>(address));
    return text.data();
}

// A search's text ends in a blank, which looks lost inside brackets and tables.
std::string_view without_closing_blank(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

void render_heading(std::ostream& out, const usage_model& model) {
    out << model.input.type << " map " << model.input.map
        << (model.input.detected ? " (type detected)" : "") << std::endl;
    if (model.without_regions()) {
        out << "Areas: none; the map names no memory regions (linked with the linker's default "
               "script). Give the target's memory with --def FILE for totals and percentages."
            << std::endl;
    } else if (model.input.definition.empty()) {
        out << "Areas: the map's memory regions" << std::endl;
    } else {
        out << "Definition: " << model.input.definition << std::endl;
    }
    out << std::endl;
}

void render_kind_line(std::ostream& out, const char* kind, std::uint32_t bytes) {
    out << "  " << std::left << std::setw(30) << kind << std::right << std::setw(12) << bytes
        << std::endl;
}

// A map without regions has nothing to compare its use with: what it places, by the kind of
// its sections.
void render_use_without_regions(std::ostream& out, const usage_model& model) {
    const section_kind_use use = use_by_section_kind(model);
    out << "Program memory used: " << model.rom.used_bytes << std::endl;
    render_kind_line(out, "code", use.program.code);
    render_kind_line(out, "constants", use.program.constants);
    render_kind_line(out, "load images of RAM sections", use.program.load_images);
    render_kind_line(out, "other", use.program.other);
    out << "RAM used:            " << model.ram.used_bytes << std::endl;
    render_kind_line(out, "initialised data", use.ram.data);
    render_kind_line(out, "zero data", use.ram.zero_data);
    render_kind_line(out, "other", use.ram.other);
    out << std::endl;
}

// The EEPROM and other areas of a map's regions, and how the map decided each area's kind.
void render_area_kinds(std::ostream& out, const usage_model& model) {
    if (model.first_other_area() + model.definition.other.size() > model.first_eeprom_area() &&
        model.input.definition.empty()) {
        out << "Areas in neither total:" << std::endl;
        for (std::size_t i = model.first_eeprom_area(); i < model.areas.size(); ++i) {
            render_area_line(out, model.areas[i]);
        }
        out << std::endl;
    }
    bool any = false;
    for (const area_usage& area : model.areas) {
        any = any || !area.kind_source.empty();
    }
    if (!any || model.without_regions()) {
        return;
    }
    out << "Area kinds:" << std::endl;
    for (const area_usage& area : model.areas) {
        out << "  " << area.name << ": " << area_kind_name(area.kind) << ", by " << area.kind_source
            << std::endl;
    }
    out << std::endl;
}

void render_largest(std::ostream& out, const usage_model& model, std::size_t top) {
    for (const area_usage& area : model.areas) {
        if (area.entries.empty() || top == 0) {
            continue;
        }
        const std::vector<std::uint32_t> largest = largest_entries(model, area, top);
        out << "Largest entries of " << area.name << " (" << largest.size() << " of "
            << area.entries.size() << "):" << std::endl;
        for (const std::uint32_t position : largest) {
            const entry_usage& placed = model.entries[position];
            out << std::setw(12) << placed.entry->size << (placed.entry->is_bit == 1 ? " bits" : "")
                << "  " << hex_address(placed.entry->address) << "  " << placed.entry->name;
            if (placed.search != no_search) {
                out << "  [" << without_closing_blank(model.searches[placed.search].text) << "]";
            }
            if (const entry_origin* origin = model.origin_of(*placed.entry)) {
                out << "  " << origin_name(*origin);
            }
            out << std::endl;
        }
        out << std::endl;
    }
    if (!model.unplaced.empty()) {
        out << "Entries in no area: " << model.unplaced.size() << std::endl;
        const std::size_t shown = std::min(top, model.unplaced.size());
        for (std::size_t i = 0; i < shown; ++i) {
            const c_map_entry& entry = model.unplaced[i];
            out << std::setw(12) << entry.size << (entry.is_bit == 1 ? " bits" : "") << "  "
                << hex_address(entry.address) << "  " << entry.name << std::endl;
        }
        out << std::endl;
    }
}

void render_breakdown(std::ostream& out, const std::vector<breakdown_row>& rows,
                      breakdown_kind kind, std::size_t top) {
    const std::size_t shown = std::min(top, rows.size());
    out << "By " << breakdown_title(kind) << " (" << shown << " of " << rows.size()
        << "):" << std::endl;
    out << std::setw(12) << "Program" << std::setw(12) << "RAM"
        << "  Name" << std::endl;
    for (std::size_t i = 0; i < shown; ++i) {
        out << std::setw(12) << rows[i].program << std::setw(12) << rows[i].ram << "  "
            << rows[i].name << std::endl;
    }
    out << std::endl;
}

void render_change_line(std::ostream& out, std::size_t width, const std::string& label,
                        const figure_change& change) {
    out << "  " << std::left << std::setw(static_cast<int>(width)) << label << std::right
        << std::setw(12) << change.before << std::setw(12) << change.after << std::setw(12)
        << signed_text(change.change) << "  " << change_percent_text(change) << std::endl;
}

void render_diff(std::ostream& out, const usage_diff& diff, std::size_t top) {
    std::vector<std::pair<std::string, const figure_change*>> lines{{"RAM", &diff.ram},
                                                                    {"ROM", &diff.rom}};
    for (const figure_change& area : diff.areas) {
        lines.emplace_back(area.label, &area);
    }
    for (const figure_change& search : diff.searches) {
        lines.emplace_back("Search " + std::string(without_closing_blank(search.label)), &search);
    }
    std::size_t width = 20;
    for (const auto& line : lines) {
        width = std::max(width, line.first.size() + 2);
    }
    out << "Changes against " << diff.base << ":" << std::endl;
    out << "  " << std::setw(static_cast<int>(width)) << "" << std::setw(12) << "Before"
        << std::setw(12) << "After" << std::setw(12) << "Change" << std::endl;
    for (const auto& [label, change] : lines) {
        render_change_line(out, width, label, *change);
    }
    out << std::endl;
    if (diff.entries.empty()) {
        out << "No entry changed." << std::endl << std::endl;
        return;
    }
    const std::size_t shown = std::min(top, diff.entries.size());
    out << "Largest entry changes (" << shown << " of " << diff.entries.size() << "):" << std::endl;
    for (std::size_t i = 0; i < shown; ++i) {
        const entry_change& change = diff.entries[i];
        out << std::setw(12) << signed_text(change.change()) << "  " << std::left << std::setw(8)
            << entry_status_name(change.status) << std::right << change.area << "  " << change.name
            << "  (" << change.before << " -> " << change.after << ")" << std::endl;
    }
    out << std::endl;
}

void render_budgets(std::ostream& out, const std::vector<budget_result>& budgets) {
    out << "Budgets:" << std::endl;
    for (const budget_result& result : budgets) {
        out << "  " << budget_text(result) << ": " << result.figure << " bytes, "
            << (result.exceeded ? "EXCEEDED" : "kept") << std::endl;
    }
    out << std::endl;
}
}  // namespace

void render_text_report(std::ostream& out, const report_context& context) {
    const usage_model& model = *context.model;
    const std::ios::fmtflags flags = out.flags();
    render_heading(out, model);
    if (model.without_regions()) {
        render_use_without_regions(out, model);
    } else {
        render_memory_report(out, model, context.ambiguity_file);
    }
    if (model.first_eeprom_area() > model.first_ram_area() && !model.without_regions()) {
        out << "RAM areas:" << std::endl;
        for (std::size_t i = model.first_ram_area(); i < model.first_eeprom_area(); ++i) {
            render_area_line(out, model.areas[i]);
        }
        out << std::endl;
    }
    render_area_kinds(out, model);
    const std::optional<breakdown_kind> breakdown = breakdown_kind_of(context.grouping);
    if (context.breakdown != nullptr && breakdown) {
        render_breakdown(out, *context.breakdown, *breakdown, context.top);
    }
    render_largest(out, model, context.top);
    if (model.eeprom) {
        render_eep_report(out, *model.eeprom);
    }
    if (context.diff != nullptr) {
        render_diff(out, *context.diff, context.top);
    }
    if (context.budgets != nullptr && !context.budgets->empty()) {
        render_budgets(out, *context.budgets);
    }
    out.flags(flags);
}

}  // namespace tarvel
