// The formats tarvel-report writes: one row per format, the one list that the command lines
// (--format, the options that write a format to a file, their help), the output files and
// tarvel-history's compare take the formats from.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

#include "report/report_context.h"

namespace tarvel {

enum class report_format { text, json, csv, markdown, html };

struct report_format_row {
    report_format format;
    std::string_view name;         // the command line's word: "markdown"
    std::string_view file_option;  // the option that writes it to a file ("--markdown"); empty
                                   // for a format that only goes to standard output
    std::string_view file_help;    // that option's help
    void (*render)(std::ostream& out, const report_context& context);
};

// Every format, in the order of the help and of the files written.
std::span<const report_format_row> report_formats();

// The row of `format` (every format has one).
const report_format_row& report_format_of(report_format format);

// The row of the format the command line names, or null.
const report_format_row* find_report_format(std::string_view name);

// The name of a format as the command line writes it ("markdown").
std::string_view report_format_name(report_format format);

}  // namespace tarvel
