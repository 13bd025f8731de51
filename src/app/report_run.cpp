#include "app/report_run.h"

#include <ctime>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

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
#include "app/report_errors.h"
#include "app/report_options.h"
#include "app/report_outputs.h"
#include "mapfile/detect_format.h"
#include "mapfile/gnu_elf_witness.h"
#include "mapfile/map_formats.h"
#include "platform/platform.h"
#include "report/report_context.h"
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

// What the analysis reads beside the map: its type (detected with --type auto), the areas of a
// linker script, the ELF of the same link.
struct run_inputs {
    std::string type;  // the reader's keyword, or the unknown word given
    c_memory_def script_areas;
    bool with_script = false;
    std::optional<gnu::c_elf_witness> witness;
};

// What the run holds the model against: the diff with a base report and the budgets.
struct run_comparison {
    std::optional<usage_snapshot> base;  // what the diff compares, kept for its names
    std::optional<usage_snapshot> current;
    std::optional<usage_diff> diff;
    std::vector<budget_result> budgets;
};

// The step's exit code when the run ends there; report_success when it goes on.
constexpr int go_on = report_success;

// Every input is there, the map's type is known, the ELF and the linker script are read.
int read_inputs(const report_options& options, run_inputs& inputs, std::ostream& err) {
    if (!check_inputs(options, err)) {
        return report_input_error;
    }
    // The map's content tells its type when none is given.
    inputs.type = options.type.format != nullptr ? std::string(options.type.format->keyword)
                                                 : options.type.name;
    if (options.type.automatic) {
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
        inputs.type = detected.keyword;
    }
    if (!options.elf.empty()) {
        if (inputs.type != "Gnu") {
            err << program << "--elf: the ELF is read beside a map of the type Gnu; the map '"
                << options.map << "' is of the type " << inputs.type << "\n";
            return report_usage_error;
        }
        c_result<elf::elf_image, std::string> image = read_elf_file(options.elf);
        if (!image) {
            err << program << image.error() << "\n";
            return report_input_error;
        }
        inputs.witness.emplace(std::move(image->sections));
    }
    if (!options.ld_script.empty()) {
        const c_result<std::vector<ld_script_region>, std::string> regions =
            read_ld_script_file(options.ld_script);
        if (!regions) {
            err << program << regions.error() << "\n";
            return report_input_error;
        }
        if (!areas_from_regions(*regions, inputs.script_areas)) {
            err << program << "the linker script '" << options.ld_script
                << "' has no region within 32-bit addresses\n";
            return report_input_error;
        }
        inputs.with_script = true;
    }
    return go_on;
}

// The map read into `model` (fresh), with the EEPROM figures when asked for.
int analyse(const report_options& options, run_inputs& inputs, usage_model& model,
            std::ostream& err) {
    analysis_request request{inputs.type, options.definition, options.map,
                             options.definition.empty() && options.ld_script.empty()};
    if (inputs.with_script) {
        request.areas = &inputs.script_areas;
        request.areas_from = options.ld_script;
    }
    std::optional<gnu::c_elf_witness>& witness = inputs.witness;
    request.elf_witness = witness ? &*witness : nullptr;
    const analysis_status status = analyze_usage(request, model);
    model.input.detected = options.type.automatic;
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
    return go_on;
}

// The diff against the --diff base, and the budgets held against the model and the diff.
int compare(const report_options& options, const usage_model& model, run_comparison& comparison,
            std::ostream& err) {
    if (!options.diff_base.empty()) {
        comparison.base = read_base(options.diff_base, err);
        if (!comparison.base) {
            return report_input_error;
        }
        comparison.current = snapshot_of(model);
        comparison.diff = diff_usage(*comparison.base, *comparison.current);
        comparison.diff->base = options.diff_base;
    }
    if (!check_budget_options(options.max, options.max_growth, model,
                              comparison.diff ? &*comparison.diff : nullptr, comparison.budgets,
                              err, program)) {
        return report_usage_error;
    }
    return go_on;
}

// The context every format is drawn from.
report_context context_of(const report_options& options, const usage_model& model,
                          const run_comparison& comparison,
                          const std::vector<breakdown_row>& breakdown,
                          const std::string& run_date) {
    report_context context;
    context.model = &model;
    context.diff = comparison.diff ? &*comparison.diff : nullptr;
    context.budgets = &comparison.budgets;
    context.top = options.top;
    context.grouping = options.grouping;
    context.breakdown = breakdown_kind_of(options.grouping) ? &breakdown : nullptr;
    context.version = TARVEL_PRODUCT_VERSION;
    context.run_date = run_date;
    return context;
}

// Budgets exceeded and areas overflowed, each named on `err`; the run's last exit code.
int judge(const usage_model& model, const run_comparison& comparison, std::ostream& err) {
    bool exceeded = name_exceeded_budgets(comparison.budgets, err, program);
    // A link whose sections run past a region's end has failed, whatever the budgets say.
    for (const area_usage* area : model.over_full_areas()) {
        err << program << "area " << area->name << " overflows: used " << area->used_rounded()
            << " of " << area->size << " bytes, over by " << area->over() << " bytes\n";
        exceeded = true;
    }
    return exceeded ? report_budget_exceeded : report_success;
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
    run_inputs inputs;
    if (const int status = read_inputs(options, inputs, err); status != go_on) {
        return status;
    }
    usage_model model;
    if (const int status = analyse(options, inputs, model, err); status != go_on) {
        return status;
    }
    run_comparison comparison;
    if (const int status = compare(options, model, comparison, err); status != go_on) {
        return status;
    }

    // The breakdown that --by asks for, made once for every format.
    std::vector<breakdown_row> breakdown;
    if (const std::optional<breakdown_kind> kind = breakdown_kind_of(options.grouping)) {
        breakdown = breakdown_by(model, *kind);
    }
    const std::string run_date = run_date_now();
    c_report_renderer renderer(context_of(options, model, comparison, breakdown, run_date),
                               json_reused(options));
    if (const int status = write_report_files(options, model, renderer, err); status != go_on) {
        return status;
    }
    if (const int status = write_standard_output(options, renderer, out, err); status != go_on) {
        return status;
    }
    // The report is kept whether or not a budget holds: the history shows what was built.
    if (!options.record.db.empty()) {
        if (const int status = recorder(options.record, renderer.json(), err);
            status != report_success) {
            return status;
        }
    }
    return judge(model, comparison, err);
}

}  // namespace tarvel
