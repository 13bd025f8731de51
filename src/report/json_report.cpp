#include "report/json_report.h"

#include <charconv>
#include <optional>
#include <vector>

#include "analysis/origin_breakdown.h"
#include "analysis/percent.h"
#include "analysis/section_kind_use.h"
#include "analysis/usage_snapshot.h"
#include "report/json_writer.h"
#include "text/fixed_text.h"

namespace tarvel {

namespace {
void optional_path(c_json_writer& json, const std::string& path) {
    if (path.empty()) {
        json.null();
    } else {
        json.value(path);
    }
}

void write_input(c_json_writer& json, const input_files& input) {
    json.key("input").begin_object();
    json.key("type").value(input.type);
    json.key("detected").value(input.detected);
    json.key("definition");
    optional_path(json, input.definition);
    json.key("map").value(input.map);
    json.key("eep");
    optional_path(json, input.eep);
    json.end_object();
}

void write_reader(c_json_writer& json, const reader_counts& counts) {
    json.key("reader").begin_object();
    json.key("lines_read").value(counts.lines_read);
    json.key("entries_recognised").value(counts.recognised);
    json.key("entries_placed").value(counts.placed);
    json.key("entries_unplaced").value(counts.unplaced);
    json.key("entries_dropped").value(counts.dropped_total());
    json.key("dropped").begin_array();
    for (const drop_count& dropped : counts.dropped) {
        json.begin_object().key("rule").value(dropped.rule);
        json.key("count").value(dropped.count).end_object();
    }
    json.end_array().end_object();
}

// Used and free as the text report prints them: whole bytes, the bits as rounded fractions.
void write_total(c_json_writer& json, const char* name, const memory_total& total, bool with_bits) {
    json.key(name).begin_object();
    json.key("total").value(total.total);
    json.key("used").raw(fixed_text(total.used(), 0));
    json.key("free").raw(fixed_text(total.free(), 0));
    json.key("used_percent").one_decimal(total.used_percent());
    if (with_bits) {
        json.key("bits").value(total.used_bits);
    }
    json.end_object();
}

void write_section_kinds(c_json_writer& json, const section_kind_use& use) {
    json.key("by_section_kind").begin_object();
    json.key("program").begin_object();
    json.key("code").value(use.program.code);
    json.key("constants").value(use.program.constants);
    json.key("load_images").value(use.program.load_images);
    json.key("other").value(use.program.other);
    json.end_object();
    json.key("ram").begin_object();
    json.key("data").value(use.ram.data);
    json.key("zero_data").value(use.ram.zero_data);
    json.key("other").value(use.ram.other);
    json.end_object();
    json.end_object();
}

void write_areas(c_json_writer& json, const usage_model& model) {
    json.key("areas").begin_array();
    for (const area_usage& area : model.areas) {
        json.begin_object();
        json.key("name").value(area.name);
        json.key("kind").value(area_kind_name(area.kind));
        json.key("start").value(area.start);
        json.key("size").value(area.size);
        json.key("used").value(area.used_rounded());
        json.key("free").value(area.free());
        // The areas of a map without regions have no size to be over.
        json.key("over").value(model.without_regions() ? 0u : area.over());
        json.key("used_percent").one_decimal(area.used_percent());
        json.key("bits").value(area.bits);
        json.key("entries").value(std::uint64_t{area.entries.size()});
        json.key("kind_from").value(area.kind_source.empty() ? "definition" : area.kind_source);
        json.end_object();
    }
    json.end_array();
}

void write_share(c_json_writer& json, std::uint32_t bytes, std::uint32_t rom_used) {
    json.key("bytes").value(bytes);
    json.key("percent").one_decimal(percent_of(bytes, rom_used));
}

// The records are a large report's second bulk, a record per name that two searches match:
// put together in a buffer, with the searches' texts quoted once.
void write_ambiguity_records(c_json_writer& json, std::ostream& out, const usage_model& model) {
    std::vector<std::string> searches;
    for (const search_usage& search : model.searches) {
        searches.push_back(c_json_writer::quoted(search.text));
    }
    constexpr std::size_t flush_size = 64 * 1024;
    std::string buffer;
    json.key("records").raw("[");
    bool first = true;
    for (const ambiguity& record : model.ambiguities()) {
        buffer += first ? "{\"name\":" : ",{\"name\":";
        first = false;
        append_json_string(buffer, record.name);
        buffer += ",\"search\":";
        buffer += searches[record.search];
        buffer += ",\"earlier_search\":";
        buffer += searches[record.earlier_search];
        buffer += '}';
        if (buffer.size() >= flush_size) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    }
    buffer += ']';
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
}

void write_searches(c_json_writer& json, std::ostream& out, const usage_model& model) {
    const std::uint32_t rom_used = model.rom.used_bytes;
    json.key("searches").begin_array();
    for (const search_usage& search : model.searches) {
        json.begin_object().key("search").value(search.text);
        write_share(json, search.bytes, rom_used);
        json.end_object();
    }
    json.end_array();
    json.key("accounted").begin_object();
    write_share(json, model.accounted, rom_used);
    json.end_object();
    json.key("ambiguous").begin_object();
    write_share(json, model.ambiguous_bytes(), rom_used);
    write_ambiguity_records(json, out, model);
    json.end_object();
}

void append_number(std::string& out, std::uint64_t number) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end);
}

// The fields every entry has, and those only some have. Entries are the bulk of a large
// report, so each is put together in a buffer from texts quoted once.
void append_entry(std::string& out, const c_map_entry& entry, const std::string* area,
                  const std::string* search, const entry_origin* origin) {
    out += "{\"name\":";
    append_json_string(out, entry.name);
    out += ",\"address\":";
    append_number(out, entry.address);
    out += ",\"size\":";
    append_number(out, entry.listed_size());
    out += ",\"counted\":";
    append_number(out, entry.size);
    if (area != nullptr) {
        out += ",\"area\":";
        out += *area;
        out += ",\"search\":";
        out += search != nullptr ? *search : "null";
    }
    if (entry.is_bit == 1) {
        out += ",\"bit\":true";
    }
    if (origin != nullptr) {
        out += ",\"object\":";
        append_json_string(out, origin->object);
        if (!origin->archive.empty()) {
            out += ",\"archive\":";
            append_json_string(out, origin->archive);
        }
    }
    out += '}';
}

// The entries lie where the reader stored them, in the order of the map, and their names on
// the heap: walking them in address order misses the cache at almost every step unless the
// entries a few steps ahead are asked for early.
void prefetch_entry(const std::vector<entry_usage>& entries, std::size_t position) {
#if defined(__GNUC__)
    constexpr std::size_t entry_ahead = 16;
    constexpr std::size_t name_ahead = 8;
    if (position + entry_ahead < entries.size()) {
        __builtin_prefetch(entries[position + entry_ahead].entry);
        __builtin_prefetch(entries[position + name_ahead].entry->name.data());
    }
#else
    (void)entries;
    (void)position;
#endif
}

void write_entries(c_json_writer& json, std::ostream& out, const usage_model& model) {
    std::vector<std::string> areas;
    for (const area_usage& area : model.areas) {
        areas.push_back(c_json_writer::quoted(area.name));
    }
    std::vector<std::string> searches;
    for (const search_usage& search : model.searches) {
        searches.push_back(c_json_writer::quoted(search.text));
    }
    constexpr std::size_t flush_size = 64 * 1024;
    std::string buffer;
    const auto flush = [&out, &buffer] {
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        buffer.clear();
    };
    json.key("entries").raw("[");
    bool first = true;
    for (std::size_t i = 0; i < model.entries.size(); ++i) {
        prefetch_entry(model.entries, i);
        const entry_usage& placed = model.entries[i];
        // One entry a line keeps a large report readable and friendly to line-based tools.
        buffer += first ? "\n" : ",\n";
        first = false;
        append_entry(buffer, *placed.entry, &areas[placed.area],
                     placed.search == no_search ? nullptr : &searches[placed.search],
                     model.origin_of(*placed.entry));
        if (buffer.size() >= flush_size) {
            flush();
        }
    }
    buffer += ']';
    flush();
    json.key("unplaced").raw("[");
    first = true;
    for (const c_map_entry& entry : model.unplaced) {
        buffer += first ? "\n" : ",\n";
        first = false;
        append_entry(buffer, entry, nullptr, nullptr, model.origin_of(entry));
        if (buffer.size() >= flush_size) {
            flush();
        }
    }
    buffer += ']';
    flush();
}

void write_change(c_json_writer& json, const figure_change& change) {
    json.key("before").value(change.before);
    json.key("after").value(change.after);
    json.key("change").value(change.change);
    json.key("change_percent");
    if (const std::optional<double> percent = change.change_percent()) {
        json.one_decimal(*percent);
    } else {
        json.null();
    }
}

void write_changes(c_json_writer& json, const char* name, const char* label,
                   const std::vector<figure_change>& changes) {
    json.key(name).begin_array();
    for (const figure_change& change : changes) {
        json.begin_object().key(label).value(change.label);
        write_change(json, change);
        json.end_object();
    }
    json.end_array();
}

void write_diff(c_json_writer& json, const usage_diff& diff) {
    json.key("diff").begin_object();
    json.key("base").value(diff.base);
    json.key("ram").begin_object();
    write_change(json, diff.ram);
    json.end_object();
    json.key("rom").begin_object();
    write_change(json, diff.rom);
    json.end_object();
    write_changes(json, "areas", "name", diff.areas);
    write_changes(json, "searches", "search", diff.searches);
    json.key("entries").begin_array();
    for (const entry_change& entry : diff.entries) {
        json.begin_object();
        json.key("area").value(entry.area);
        json.key("name").value(entry.name);
        json.key("status").value(entry_status_name(entry.status));
        figure_change change{"", entry.before, entry.after, entry.change()};
        write_change(json, change);
        json.end_object();
    }
    json.end_array().end_object();
}

void write_budgets(c_json_writer& json, const std::vector<budget_result>& budgets) {
    json.key("budgets").begin_array();
    for (const budget_result& result : budgets) {
        json.begin_object();
        json.key("target").value(result.rule.target);
        json.key("kind").value(result.rule.kind == budget_kind::max ? "max" : "max-growth");
        json.key("limit").value(result.rule.limit_text);
        json.key("limit_bytes").value(result.limit_bytes);
        json.key("figure").value(result.figure);
        json.key("exceeded").value(result.exceeded);
        json.end_object();
    }
    json.end_array();
}

void write_eep_block(c_json_writer& json, const char* name, const eep_block& block) {
    json.key(name).begin_object();
    json.key("total").value(block.total);
    json.key("used").value(block.used);
    json.key("free").value(block.free);
    json.key("used_percent").one_decimal(block.percent);
    json.end_object();
}
}  // namespace

void render_json_report(std::ostream& out, const report_context& context) {
    const usage_model& model = *context.model;
    c_json_writer json(out);
    json.begin_object();
    json.key("format").value(json_format_name);
    json.key("version").value(json_format_version);
    json.key("generator").begin_object();
    json.key("program").value(context.program);
    json.key("version").value(context.version);
    json.end_object();
    write_input(json, model.input);
    // Where the areas come from: a definition file, the map's memory regions, or nowhere (a
    // map without regions; its areas then have size 0 and only their use means anything).
    json.key("areas_from")
        .value(!model.input.definition.empty() ? "definition"
               : model.without_regions()       ? "none"
                                               : "map");
    if (model.without_regions()) {
        write_section_kinds(json, use_by_section_kind(model));
    }
    write_reader(json, model.reader);
    write_total(json, "ram", model.ram, true);
    write_total(json, "rom", model.rom, false);
    write_areas(json, model);
    write_searches(json, out, model);
    write_entries(json, out, model);
    if (model.eeprom) {
        json.key("eeprom").begin_object();
        write_eep_block(json, "total", model.eeprom->all);
        write_eep_block(json, "once", model.eeprom->once);
        write_eep_block(json, "triple", model.eeprom->triple);
        json.end_object();
    }
    // Both breakdowns; the one the run made for --by is not counted again.
    if (!model.origins.empty()) {
        json.key("breakdowns").begin_object();
        for (const breakdown_kind kind : {breakdown_kind::object, breakdown_kind::archive}) {
            json.key(kind == breakdown_kind::object ? "object" : "archive").begin_array();
            const bool made =
                context.breakdown != nullptr && breakdown_kind_of(context.grouping) == kind;
            std::vector<breakdown_row> counted;
            if (!made) {
                counted = breakdown_by(model, kind);
            }
            for (const breakdown_row& row : made ? *context.breakdown : counted) {
                json.begin_object().key("name").value(row.name);
                json.key("program").value(row.program);
                json.key("ram").value(row.ram).end_object();
            }
            json.end_array();
        }
        json.end_object();
    }
    if (context.diff != nullptr) {
        write_diff(json, *context.diff);
    }
    if (context.budgets != nullptr && !context.budgets->empty()) {
        write_budgets(json, *context.budgets);
    }
    json.end_object();
    out << '\n';
}

}  // namespace tarvel
