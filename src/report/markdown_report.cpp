#include "report/markdown_report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "analysis/percent.h"
#include "analysis/section_kind_use.h"
#include "report/report_sections.h"
#include "text/fixed_text.h"

namespace tarvel {

std::string markdown_text(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '&':
                escaped += "&amp;";
                break;
            case '|':
            case '\\':
            case '`':
            case '*':
            case '_':
            case '[':
            case ']':
            case '#':
            case '~':
                escaped += '\\';
                escaped += c;
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

namespace {
using change_list = std::vector<figure_change> usage_diff::*;

const figure_change* change_of(const usage_diff* diff, change_list list, const std::string& label) {
    if (diff == nullptr) {
        return nullptr;
    }
    const std::vector<figure_change>& changes = diff->*list;
    const auto found = std::find_if(changes.begin(), changes.end(),
                                    [&label](const figure_change& c) { return c.label == label; });
    return found == changes.end() ? nullptr : &*found;
}

std::string change_cell(const figure_change* change) {
    if (change == nullptr) {
        return "";
    }
    std::string cell = signed_text(change->change);
    const std::string percent = change_percent_text(*change);
    if (!percent.empty()) {
        cell += " (" + percent + ")";
    }
    return cell;
}

// `over`: the bytes used beyond the total, in an area that shows it; 0 for none.
void row(std::ostream& out, const std::string& name, std::int64_t used, std::int64_t free,
         std::int64_t total, double percent, std::uint32_t over, const figure_change* change,
         bool with_change) {
    out << "| " << name << " | " << used << " | " << free << " | " << total << " | "
        << fixed_text(percent, 1) << "%";
    if (over > 0) {
        out << " **over by " << over << " bytes**";
    }
    out << " |";
    if (with_change) {
        out << " " << change_cell(change) << " |";
    }
    out << "\n";
}

void area_table(std::ostream& out, const usage_model& model, area_kind kind, const char* title,
                const memory_total* total, const figure_change* total_change,
                const usage_diff* diff) {
    const bool any = std::any_of(model.areas.begin(), model.areas.end(),
                                 [kind](const area_usage& a) { return a.kind == kind; });
    if (!any) {
        return;
    }
    const bool with_change = diff != nullptr;
    out << "| " << title << " | Used | Free | Total | Used % |" << (with_change ? " Change |" : "")
        << "\n";
    out << "|:---|---:|---:|---:|---:|" << (with_change ? "---:|" : "") << "\n";
    if (total != nullptr) {
        row(out, std::string("**") + (kind == area_kind::program ? "ROM" : "RAM") + "**",
            std::stoll(fixed_text(total->used(), 0)), std::stoll(fixed_text(total->free(), 0)),
            total->total, total->used_percent(), 0, total_change, with_change);
    }
    for (const area_usage& area : model.areas) {
        if (area.kind == kind) {
            row(out, markdown_text(area.name), area.used_rounded(), area.free(), area.size,
                area.used_percent(), area.shows_overflow ? area.over() : 0,
                change_of(diff, &usage_diff::areas, area.name), with_change);
        }
    }
    out << "\n";
}

// A map without regions has no sizes to compare with: what it places, by section kind.
void kind_tables(std::ostream& out, const usage_model& model) {
    const section_kind_use use = use_by_section_kind(model);
    out << "The map names no memory regions (linked with the linker's default script): give the "
           "target's memory with `--def FILE` for totals and percentages.\n\n";
    out << "| Program memory | Bytes |\n|:---|---:|\n";
    out << "| **Used** | " << model.rom.used_bytes << " |\n";
    out << "| code | " << use.program.code << " |\n";
    out << "| constants | " << use.program.constants << " |\n";
    out << "| load images of RAM sections | " << use.program.load_images << " |\n";
    out << "| other | " << use.program.other << " |\n\n";
    out << "| RAM | Bytes |\n|:---|---:|\n";
    out << "| **Used** | " << model.ram.used_bytes << " |\n";
    out << "| initialised data | " << use.ram.data << " |\n";
    out << "| zero data | " << use.ram.zero_data << " |\n";
    out << "| other | " << use.ram.other << " |\n\n";
}

// A search's text ends in a blank, which a table cell would lose anyway.
std::string_view trimmed_search(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

void search_table(std::ostream& out, const usage_model& model, const usage_diff* diff) {
    if (model.searches.empty()) {
        return;
    }
    const bool with_change = diff != nullptr;
    out << "| Search | Bytes | Share of used ROM |" << (with_change ? " Change |" : "") << "\n";
    out << "|:---|---:|---:|" << (with_change ? "---:|" : "") << "\n";
    for (const search_usage& search : model.searches) {
        out << "| " << markdown_text(trimmed_search(search.text)) << " | " << search.bytes << " | "
            << fixed_text(percent_of(search.bytes, model.rom.used_bytes), 1) << "% |";
        if (with_change) {
            out << " " << change_cell(change_of(diff, &usage_diff::searches, search.text)) << " |";
        }
        out << "\n";
    }
    if (!model.ambiguities().empty()) {
        out << "\n"
            << model.ambiguous_bytes() << " bytes matched more than one search and were "
            << "counted once (" << model.ambiguities().size() << " repeated matches).\n";
    }
    out << "\n";
}

void breakdown_table(std::ostream& out, const std::vector<breakdown_row>& rows, breakdown_kind kind,
                     std::size_t top) {
    const std::size_t shown = std::min(top, rows.size());
    std::string title = breakdown_title(kind);
    title.front() = static_cast<char>(title.front() - 'a' + 'A');
    out << "| " << title << " | Program memory | RAM |\n|:---|---:|---:|\n";
    for (std::size_t i = 0; i < shown; ++i) {
        out << "| " << markdown_text(rows[i].name) << " | " << rows[i].program << " | "
            << rows[i].ram << " |\n";
    }
    if (shown < rows.size()) {
        out << "\n" << rows.size() - shown << " more " << breakdown_title(kind) << "s.\n";
    }
    out << "\n";
}

void budget_table(std::ostream& out, const std::vector<budget_result>& budgets) {
    out << "| Budget | Figure | Result |\n|:---|---:|:---|\n";
    for (const budget_result& result : budgets) {
        out << "| " << markdown_text(budget_text(result)) << " | " << result.figure << " | "
            << (result.exceeded ? "**exceeded**" : "kept") << " |\n";
    }
    out << "\n";
}

void changes_table(std::ostream& out, const usage_diff& diff, std::size_t top) {
    if (diff.entries.empty()) {
        out << "No entry changed.\n\n";
        return;
    }
    const std::size_t shown = std::min(top, diff.entries.size());
    out << "#### Largest changes (" << shown << " of " << diff.entries.size() << ")\n\n";
    out << "| Area | Entry | Before | After | Change |\n|:---|:---|---:|---:|---:|\n";
    for (std::size_t i = 0; i < shown; ++i) {
        const entry_change& change = diff.entries[i];
        out << "| " << markdown_text(change.area) << " | " << markdown_text(change.name) << " | "
            << (change.status == entry_status::added ? "" : std::to_string(change.before)) << " | "
            << (change.status == entry_status::removed ? "" : std::to_string(change.after)) << " | "
            << signed_text(change.change()) << " " << entry_status_name(change.status) << " |\n";
    }
    out << "\n";
}

void largest_tables(std::ostream& out, const usage_model& model, std::size_t top) {
    for (const area_usage& area : model.areas) {
        if (area.entries.empty() || top == 0) {
            continue;
        }
        const std::vector<std::uint32_t> largest = largest_entries(model, area, top);
        out << "<details><summary>Largest entries of " << markdown_text(area.name) << " ("
            << largest.size() << " of " << area.entries.size() << ")</summary>\n\n";
        out << "| Entry | Address | Size |\n|:---|---:|---:|\n";
        for (const std::uint32_t position : largest) {
            const c_map_entry& entry = *model.entries[position].entry;
            std::array<char, 16> address{};
            std::snprintf(address.data(), address.size(), "0x%08X",
                          static_cast<unsigned>(entry.address));
            out << "| " << markdown_text(entry.name) << " | " << address.data() << " | "
                << entry.size << (entry.is_bit == 1 ? " bits" : "") << " |\n";
        }
        out << "\n</details>\n\n";
    }
}
}  // namespace

void render_markdown_report(std::ostream& out, const report_context& context) {
    const usage_model& model = *context.model;
    const usage_diff* diff = context.diff;
    out << "### Memory usage of " << markdown_text(model.input.map) << " ("
        << markdown_text(model.input.type) << ")\n\n";
    if (model.without_regions()) {
        kind_tables(out, model);
    } else {
        area_table(out, model, area_kind::program, "Program memory", &model.rom,
                   diff != nullptr ? &diff->rom : nullptr, diff);
        area_table(out, model, area_kind::ram, "RAM", &model.ram,
                   diff != nullptr ? &diff->ram : nullptr, diff);
        area_table(out, model, area_kind::eeprom, "EEPROM", nullptr, nullptr, diff);
        area_table(out, model, area_kind::other, "Other areas (in neither total)", nullptr, nullptr,
                   diff);
    }
    search_table(out, model, diff);
    const std::optional<breakdown_kind> breakdown = breakdown_kind_of(context.grouping);
    if (context.breakdown != nullptr && breakdown) {
        breakdown_table(out, *context.breakdown, *breakdown, context.top);
    }
    if (context.budgets != nullptr && !context.budgets->empty()) {
        budget_table(out, *context.budgets);
    }
    if (diff != nullptr) {
        changes_table(out, *diff, context.top);
    } else {
        largest_tables(out, model, context.top);
    }
}

}  // namespace tarvel
