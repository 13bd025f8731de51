// The usage model again, from a JSON report that tarvel-report wrote: so that a stored build is
// rendered, compared and held against budgets by the same code as a build just analysed.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "analysis/usage_model.h"
#include "mapfile/entry_vector.h"
#include "text/input_result.h"

namespace tarvel {

// The model and the storage its entries and ambiguity records point into.
struct report_model {
    usage_model model;
    c_entry_vector placed;          // the entries that model.entries point to
    std::deque<std::string> names;  // of the ambiguity records
};

// An error whose `what` follows the report's name when the text is no report of this
// program's version.
c_result<std::unique_ptr<report_model>> model_from_report(const std::string& json);

}  // namespace tarvel
