// The command line of `tarvel-report`.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "mapfile/map_formats.h"
#include "report/report_context.h"
#include "report/report_formats.h"

namespace tarvel {

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

// --type: "auto" (the map's content decides), a reader's keyword, or a word no reader has,
// which the analysis refuses once the inputs are known to exist.
struct map_type_choice {
    bool automatic = true;
    const map_format* format = nullptr;  // the reader named; null when automatic or unknown
    std::string name = "auto";           // as given
};

struct report_options {
    map_type_choice type;
    std::string definition;  // empty: the map's own memory regions are the areas
    std::string ld_script;   // --ld-script FILE: its MEMORY regions are the areas
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
    group_by grouping = group_by::section;  // --by
    record_request record;                  // record.db empty: no --record
};

enum class options_status { run, done, error };

// Reads the command line into `options`. `done`: --help or --version was answered on `out`.
// `error`: the message and the usage went to `err`.
options_status parse_report_options(int argc, const char* const* argv, report_options& options,
                                    std::ostream& out, std::ostream& err);

}  // namespace tarvel
