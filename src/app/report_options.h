// The command line of `tarvel-report`.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace tarvel {

// The formats a report can be written in.
enum class report_format { text, json, csv, markdown, html };

struct report_output {
    report_format format = report_format::text;
    std::string path;  // empty: standard output
};

// With --record: the build under which the run's JSON report goes into a history database.
struct record_request {
    std::string db;  // an SQLite file or a postgresql:// connection string
    std::string target;
    std::string commit;
    std::string parent;
    std::string branch;
    std::string time;                 // ISO-8601; empty: now
    std::vector<std::string> labels;  // KEY=VALUE, as given
    bool replace = false;
};

struct report_options {
    std::string type = "auto";  // a reader's keyword, or "auto": the map's content decides
    std::string definition;     // empty: the map's own memory regions are the areas
    std::string ld_script;      // --ld-script FILE: its MEMORY regions are the areas
    std::string map;
    std::string elf;  // --elf FILE: the ELF of the same link decides each section's figures
    std::string eep;
    report_format format = report_format::text;  // of standard output
    std::vector<report_output> files;            // --json, --csv, --markdown, --html
    std::string ambiguities;                     // --ambiguities FILE
    std::string diff_base;                       // --diff BASE.json
    std::vector<std::string> max;                // --max TARGET=LIMIT, as given
    std::vector<std::string> max_growth;         // --max-growth TARGET=LIMIT, as given
    std::size_t top = 10;
    std::string group_by = "section";  // --by section|object|archive
    record_request record;             // record.db empty: no --record
};

enum class options_status { run, done, error };

// Reads the command line into `options`. `done`: --help or --version was answered on `out`.
// `error`: the message and the usage went to `err`.
options_status parse_report_options(int argc, const char* const* argv, report_options& options,
                                    std::ostream& out, std::ostream& err);

// The name of a format as the command line writes it ("markdown").
const char* report_format_name(report_format format);

}  // namespace tarvel
