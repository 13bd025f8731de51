// Every placed entry as CSV, for spreadsheets and scripts.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "report/report_context.h"

namespace tarvel {

// A header row, then one row per placed entry: area, name, address (hexadecimal), size, unit
// ("byte", or "bit" for bit variables), search, object, archive. Fields are quoted as RFC 4180
// says: a field holding a comma, a quote or a line break is put in quotes, its quotes doubled.
void render_csv_report(std::ostream& out, const report_context& context);

// One CSV field, quoted where needed.
std::string csv_field(std::string_view text);

}  // namespace tarvel
