#include "app/report_options.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>
#include <utility>
#include <vector>

#include "mapfile/map_formats.h"
#include "version_info.h"

namespace tarvel {

namespace {
// Whether two paths name one file: alike once "." and ".." are resolved, or, where both exist,
// the same file however they are written ("./a.map", "out/../a.map", a link).
bool same_file(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) {
        return false;
    }
    if (std::filesystem::path(a).lexically_normal() ==
        std::filesystem::path(b).lexically_normal()) {
        return true;
    }
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// Two outputs in one file would overwrite each other: the command line is refused instead.
bool check_distinct_outputs(const report_options& options, std::ostream& err) {
    std::vector<std::string> paths;
    for (const report_output& file : options.files) {
        paths.push_back(file.path);
    }
    if (!options.ambiguities.empty()) {
        paths.push_back(options.ambiguities);
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        for (std::size_t j = i + 1; j < paths.size(); ++j) {
            if (same_file(paths[i], paths[j])) {
                err << "tarvel-report: two outputs are to be written to the same file '" << paths[i]
                    << "'\n";
                return false;
            }
        }
    }
    for (const std::string& path : paths) {
        if (same_file(path, options.map) || same_file(path, options.definition) ||
            same_file(path, options.ld_script) || same_file(path, options.eep) ||
            same_file(path, options.elf) || same_file(path, options.diff_base)) {
            err << "tarvel-report: the output file '" << path << "' is also an input\n";
            return false;
        }
    }
    return true;
}
}  // namespace

options_status parse_report_options(int argc, const char* const* argv, report_options& options,
                                    std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Tells how much of a microcontroller's RAM and ROM a linked program uses, for "
        "build servers and reviewers.",
        "tarvel-report"};
    app.set_version_flag("--version", std::string("tarvel-report ") + TARVEL_PRODUCT_VERSION);
    std::string type = "auto";
    app.add_option(
        "--type", type,
        "Map format: " + map_format_keywords() + ", or auto to detect it from the map (default)");
    app.add_option("--def", options.definition,
                   "Memory definition file; without it the map's own memory regions (GNU ld, "
                   "armlink, IAR, TI) are the areas");
    app.add_option("--ld-script", options.ld_script,
                   "Linker script whose MEMORY regions are the areas (instead of --def)");
    app.add_option("--map", options.map, "Linker map file")->required();
    app.add_option("--elf", options.elf,
                   "ELF file of the same link: each output section's size, load address and "
                   "whether it takes memory come from its section headers (Gnu maps)");
    app.add_option("--eep", options.eep, "EEPROM project source file (EepPrj.src)");
    std::string format = "text";
    std::vector<std::string> format_names;
    for (const report_format_row& row : report_formats()) {
        format_names.emplace_back(row.name);
    }
    app.add_option("--format", format, "Format of standard output (default text)")
        ->check(CLI::IsMember(format_names));
    // The file of each format that can go to one, in the order of report_formats().
    std::vector<std::pair<const report_format_row*, std::string>> format_files;
    for (const report_format_row& row : report_formats()) {
        if (!row.file_option.empty()) {
            format_files.emplace_back(&row, "");
        }
    }
    for (auto& [row, path] : format_files) {
        app.add_option(std::string(row->file_option), path, std::string(row->file_help));
    }
    app.add_option("--ambiguities", options.ambiguities,
                   "Write the names counted by more than one search to FILE");
    app.add_option("--diff", options.diff_base,
                   "Compare with BASE.json, an earlier JSON report of this program");
    app.add_option("--max", options.max,
                   "Budget TARGET=LIMIT: RAM, ROM, an area or a search; bytes (20000, 480KiB, "
                   "1MiB) or a percentage of the target's total (90%)");
    app.add_option("--max-growth", options.max_growth,
                   "Growth budget TARGET=LIMIT against the --diff base, in bytes or percent of "
                   "the base value");
    // A count: "-1" would otherwise wrap around to the largest count and list everything.
    app.add_option("--top", options.top, "Entries listed per area in text and Markdown (10)")
        ->check([](const std::string& value) {
            return value.find('-') == std::string::npos ? std::string()
                                                        : "a count cannot be negative: " + value;
        });
    std::string grouping = "section";
    std::vector<std::string> grouping_names;
    for (const group_by value : {group_by::section, group_by::object, group_by::archive}) {
        grouping_names.emplace_back(group_by_name(value));
    }
    app.add_option("--by", grouping,
                   "Break program memory down by section (default), object or archive")
        ->check(CLI::IsMember(grouping_names));
    app.add_option("--record", options.record.db,
                   "Also store the JSON report in the history database DB (an SQLite file or "
                   "postgresql://...), as tarvel-history add does");
    app.add_option("--target", options.record.target, "With --record: the build's target");
    app.add_option("--commit", options.record.commit, "With --record: the build's commit");
    app.add_option("--parent", options.record.parent, "With --record: the parent commit");
    app.add_option("--branch", options.record.branch, "With --record: the branch");
    app.add_option("--time", options.record.time,
                   "With --record: when the build was made, ISO-8601 (default now)");
    app.add_option("--label", options.record.labels, "With --record: a label KEY=VALUE");
    app.add_flag("--replace", options.record.replace,
                 "With --record: replace a stored build of the same target and commit");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return options_status::done;
    } catch (const CLI::CallForVersion&) {
        out << app.version() << '\n';
        return options_status::done;
    } catch (const CLI::ParseError& error) {
        // CLI11 reports every command-line error by throwing; this is where it is caught.
        err << "tarvel-report: " << error.what() << "\n\n" << app.help();
        return options_status::error;
    }
    // An empty name (an unset variable in a build script) names no file: taken as no option it
    // would drop a report, a diff or a budget's base without a word.
    std::vector<std::string> file_options{"--def", "--ld-script", "--map", "--elf", "--eep"};
    for (const auto& [row, path] : format_files) {
        file_options.emplace_back(row->file_option);
    }
    file_options.insert(file_options.end(), {"--ambiguities", "--diff"});
    for (const std::string& name : file_options) {
        const CLI::Option* option = app.get_option(name);
        if (option->count() > 0 && option->as<std::string>().empty()) {
            err << "tarvel-report: " << name << ": the file name is empty\n";
            return options_status::error;
        }
    }
    // CLI11 has checked the words of --format and --by.
    options.format = find_report_format(format)->format;
    for (const auto& [row, path] : format_files) {
        if (!path.empty()) {
            options.files.push_back({row->format, path});
        }
    }
    options.grouping = parse_group_by(grouping).value_or(group_by::section);
    options.type.name = type;
    options.type.automatic = type == "auto";
    options.type.format = options.type.automatic ? nullptr : find_map_format(type);
    if (!options.definition.empty() && !options.ld_script.empty()) {
        err << "tarvel-report: --def and --ld-script both give the areas: use one of them\n";
        return options_status::error;
    }
    if (!options.max_growth.empty() && options.diff_base.empty()) {
        err << "tarvel-report: --max-growth needs --diff BASE.json to compare with\n";
        return options_status::error;
    }
    // The options of a build to record mean nothing without --record, and a record without
    // its target or commit could not be found again.
    if (options.record.db.empty()) {
        for (const char* name :
             {"--target", "--commit", "--parent", "--branch", "--time", "--label", "--replace"}) {
            if (app.get_option(name)->count() > 0) {
                err << "tarvel-report: " << name << " needs --record DB\n";
                return options_status::error;
            }
        }
    } else if (options.record.target.empty() || options.record.commit.empty()) {
        err << "tarvel-report: --record needs --target NAME and --commit SHA\n";
        return options_status::error;
    }
    return check_distinct_outputs(options, err) ? options_status::run : options_status::error;
}

}  // namespace tarvel
