#include "app/report_run.h"

#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "analysis/base_report.h"
#include "analysis/budget.h"
#include "analysis/eep_usage.h"
#include "analysis/origin_breakdown.h"
#include "analysis/script_areas.h"
#include "analysis/usage_analysis.h"
#include "analysis/usage_diff.h"
#include "app/budget_check.h"
#include "app/elf_input.h"
#include "app/ld_script_file.h"
#include "app/output_file.h"
#include "app/report_errors.h"
#include "app/report_options.h"
#include "mapfile/detect_format.h"
#include "mapfile/gnu_elf_witness.h"
#include "mapfile/map_formats.h"
#include "platform/platform.h"
#include "report/ambiguity_report.h"
#include "report/csv_report.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/markdown_report.h"
#include "report/text_report.h"
#include "version_info.h"

namespace tarvel {

namespace {
constexpr const char* program = report_program;

// The input files must exist before anything is read: the message then names the file.
bool check_inputs(const report_options& options, std::ostream& err) {
    const std::pair<const char*, const std::string*> inputs[] = {
        {"memory definition file", &options.definition},
        {"linker script", &options.ld_script},
        {"map file", &options.map},
        {"ELF file", &options.elf},
        {"EEPROM file", &options.eep},
        {"base report", &options.diff_base}};
    for (const auto& [what, path] : inputs) {
        if (!path->empty() && !platform::path_exists(*path)) {
            err << program << "cannot read the " << what << " '" << *path << "': no such file\n";
            return false;
        }
        if (!path->empty() && platform::is_directory(*path)) {
            err << program << "cannot read the " << what << " '" << *path
                << "': it is a directory\n";
            return false;
        }
    }
    return true;
}

std::optional<usage_snapshot> read_base(const std::string& path, std::ostream& err) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    if (!file.is_open() || file.bad()) {
        err << program << "cannot read the base report '" << path << "'\n";
        return std::nullopt;
    }
    c_result<usage_snapshot> base = read_base_report(std::move(content).str());
    if (!base) {
        err << program << "the base report '" << path << "' " << base.error().what << "\n";
        return std::nullopt;
    }
    return std::move(base).value();
}

struct run_state {
    const report_options& options;
    usage_model& model;
    std::optional<usage_snapshot> base;  // what the diff compares, kept for its names
    std::optional<usage_snapshot> current;
    std::optional<usage_diff> diff;
    std::vector<budget_result> budgets;
    std::string ambiguity_file;            // empty unless written
    std::string json;                      // the JSON report, made once when a format needs it
    std::vector<breakdown_row> breakdown;  // with --by object or archive
    std::string run_date;                  // for the HTML page's header
};

void render(std::ostream& out, report_format format, run_state& state) {
    const bool by_origin = state.options.group_by != "section";
    const report_extras extras{
        state.diff ? &*state.diff : nullptr, &state.budgets, state.options.top,
        by_origin ? &state.breakdown : nullptr,
        state.options.group_by == "archive" ? breakdown_kind::archive : breakdown_kind::object};
    switch (format) {
        case report_format::text:
            render_text_report(out, state.model, extras,
                               state.ambiguity_file.empty() ? nullptr : &state.ambiguity_file);
            break;
        case report_format::json:
            render_json_report(
                out, state.model,
                {"tarvel-report", TARVEL_PRODUCT_VERSION, extras.diff, &state.budgets});
            break;
        case report_format::csv:
            render_csv_report(out, state.model);
            break;
        case report_format::markdown:
            render_markdown_report(out, state.model, extras);
            break;
        case report_format::html:
            // The page embeds the JSON report; it is made once however many formats need it.
            if (state.json.empty()) {
                std::ostringstream json;
                render_json_report(
                    json, state.model,
                    {"tarvel-report", TARVEL_PRODUCT_VERSION, extras.diff, &state.budgets});
                state.json = std::move(json).str();
            }
            render_html_report(out, state.model,
                               {state.json, state.run_date, TARVEL_PRODUCT_VERSION,
                                parse_treemap_grouping(state.options.group_by)
                                    .value_or(treemap_grouping::search)});
            break;
    }
}

// The time of the run, as the page's header shows it: "2026-12-08 04:15 UTC".
std::string run_date_now() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
    return text;
}

bool check_budgets(run_state& state, std::ostream& err) {
    return check_budget_options(state.options.max, state.options.max_growth, state.model,
                                state.diff ? &*state.diff : nullptr, state.budgets, err, program);
}
}  // namespace

int run_report(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
               const report_recorder& recorder) {
    report_options options;
    switch (parse_report_options(argc, argv, options, out, err)) {
        case options_status::done:
            return report_success;
        case options_status::error:
            return report_usage_error;
        case options_status::run:
            break;
    }
    if (!options.record.db.empty() && !recorder) {
        err << program << "--record: this build of tarvel-report keeps no history\n";
        return report_usage_error;
    }
    if (!check_inputs(options, err)) {
        return report_input_error;
    }

    // The map's content tells its type when none is given.
    std::string type = options.type;
    if (type == "auto") {
        const detected_format detected = detect_format(text_source::file(options.map));
        if (!detected.foreign_linker.empty()) {
            err << program << "the map '" << options.map << "' was written by "
                << detected.foreign_linker
                << ", a format tarvel-report does not read; it reads these: "
                << map_format_descriptions() << "\n";
            return report_nothing_found;
        }
        if (detected.keyword.empty()) {
            err << program << "the map '" << options.map
                << "' is in no format that tarvel-report knows: it looked for "
                << detected.looked_for << "\n";
            return report_nothing_found;
        }
        type = detected.keyword;
    }
    std::optional<gnu::c_elf_witness> witness;
    if (!options.elf.empty()) {
        if (type != "Gnu") {
            err << program << "--elf: the ELF is read beside a map of the type Gnu; the map '"
                << options.map << "' is of the type " << type << "\n";
            return report_usage_error;
        }
        c_result<elf::elf_image, std::string> image = read_elf_file(options.elf);
        if (!image) {
            err << program << image.error() << "\n";
            return report_input_error;
        }
        witness.emplace(std::move(image->sections));
    }
    usage_model model;
    analysis_request request{type, options.definition, options.map,
                             options.definition.empty() && options.ld_script.empty()};
    c_memory_def script_areas;
    if (!options.ld_script.empty()) {
        const c_result<std::vector<ld_script_region>, std::string> regions =
            read_ld_script_file(options.ld_script);
        if (!regions) {
            err << program << regions.error() << "\n";
            return report_input_error;
        }
        if (!areas_from_regions(*regions, script_areas)) {
            err << program << "the linker script '" << options.ld_script
                << "' has no region within 32-bit addresses\n";
            return report_input_error;
        }
        request.areas = &script_areas;
        request.areas_from = options.ld_script;
    }
    request.elf_witness = witness ? &*witness : nullptr;
    const analysis_status status = analyze_usage(request, model);
    model.input.detected = options.type == "auto";
    if (const int failed = report_analysis_failure(err, status, options.definition, options.map)) {
        return failed;
    }
    // Figures of a damaged map would lack what its damaged lines held.
    if (model.reader.damaged_lines > 0) {
        err << program << "the map '" << options.map << "' is damaged: line "
            << model.reader.first_damaged_line << " should be " << model.reader.first_damage
            << " and is not";
        if (model.reader.damaged_lines > 1) {
            err << " (" << model.reader.damaged_lines << " such lines)";
        }
        err << "\n";
        return report_input_error;
    }
    if (witness) {
        witness->finish();
        if (!witness->disagreement().empty()) {
            err << program << "the ELF file '" << options.elf
                << "' is of another build than the map '" << options.map
                << "': " << witness->disagreement() << "\n";
            return report_input_error;
        }
        for (const std::string& warning : witness->warnings()) {
            err << program << "warning: " << warning << "\n";
        }
    }
    if (status == analysis_status::nothing_placed) {
        explain_nothing_found(err, model);
        return report_nothing_found;
    }
    if (!options.eep.empty()) {
        std::ostringstream reader_output;
        const c_result<eep_usage, eep_problem> eeprom = read_eep_usage(options.eep, reader_output);
        if (!eeprom) {
            print_eep_failure(err, eeprom.error(), options.eep);
            return report_input_error;
        }
        model.eeprom = *eeprom;
        model.input.eep = options.eep;
    }

    run_state state{options, model, std::nullopt, std::nullopt, std::nullopt,
                    {},      {},    {},           {},           run_date_now()};
    if (!options.diff_base.empty()) {
        state.base = read_base(options.diff_base, err);
        if (!state.base) {
            return report_input_error;
        }
        state.current = snapshot_of(model);
        state.diff = diff_usage(*state.base, *state.current);
        state.diff->base = options.diff_base;
    }
    if (options.group_by != "section") {
        state.breakdown =
            breakdown_by(model, options.group_by == "archive" ? breakdown_kind::archive
                                                              : breakdown_kind::object);
    }
    if (!check_budgets(state, err)) {
        return report_usage_error;
    }

    // Every file first, so that the report on standard output names only files that exist.
    // All are opened before any is written: an output that cannot be written ends the run
    // while every file of an earlier run is still as it was.
    const auto cannot_write = [&err](const std::string& path, const report_format* format,
                                     const c_output_file& file) {
        err << program << "cannot write ";
        if (format != nullptr) {
            err << "the " << report_format_name(*format) << " report ";
        }
        err << "'" << path << "': " << file.failure() << "\n";
        return report_input_error;
    };
    std::unique_ptr<c_output_file> ambiguity_output;
    if (!options.ambiguities.empty()) {
        ambiguity_output = std::make_unique<c_output_file>(options.ambiguities);
        if (!ambiguity_output->is_open()) {
            return cannot_write(options.ambiguities, nullptr, *ambiguity_output);
        }
    }
    std::vector<std::unique_ptr<c_output_file>> report_outputs;
    for (const report_output& file : options.files) {
        report_outputs.push_back(std::make_unique<c_output_file>(file.path));
        if (!report_outputs.back()->is_open()) {
            return cannot_write(file.path, &file.format, *report_outputs.back());
        }
    }
    // Every file is written in full before any replaces its target: a later one that fails
    // (a full disk) must not leave the earlier ones of this run beside the old ones.
    if (ambiguity_output) {
        render_ambiguities(ambiguity_output->stream(), model);
        if (!ambiguity_output->finish()) {
            return cannot_write(options.ambiguities, nullptr, *ambiguity_output);
        }
        state.ambiguity_file = options.ambiguities;
    }
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        render(report_outputs[i]->stream(), options.files[i].format, state);
        if (!report_outputs[i]->finish()) {
            return cannot_write(options.files[i].path, &options.files[i].format,
                                *report_outputs[i]);
        }
    }
    if (ambiguity_output && !ambiguity_output->commit()) {
        return cannot_write(options.ambiguities, nullptr, *ambiguity_output);
    }
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        if (!report_outputs[i]->commit()) {
            return cannot_write(options.files[i].path, &options.files[i].format,
                                *report_outputs[i]);
        }
    }
    render(out, options.format, state);
    out.flush();
    // A build server that keeps standard output as its report must not take a cut one (a full
    // disk, a closed pipe) for a whole one.
    if (!out) {
        err << program << "cannot write the report to standard output\n";
        return report_input_error;
    }

    // The report is kept whether or not a budget holds: the history shows what was built.
    if (!options.record.db.empty()) {
        std::ostringstream json;
        render(json, report_format::json, state);
        if (const int status = recorder(options.record, std::move(json).str(), err);
            status != report_success) {
            return status;
        }
    }
    bool exceeded = name_exceeded_budgets(state.budgets, err, program);
    // A link whose sections run past a region's end has failed, whatever the budgets say.
    for (const area_usage* area : model.over_full_areas()) {
        err << program << "area " << area->name << " overflows: used " << area->used_rounded()
            << " of " << area->size << " bytes, over by " << area->over() << " bytes\n";
        exceeded = true;
    }
    return exceeded ? report_budget_exceeded : report_success;
}

}  // namespace tarvel
