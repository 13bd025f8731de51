#include "report/report_context.h"

namespace tarvel {

const char* group_by_name(group_by grouping) {
    switch (grouping) {
        case group_by::section:
            return "section";
        case group_by::object:
            return "object";
        case group_by::archive:
            return "archive";
    }
    return "section";
}

std::optional<group_by> parse_group_by(std::string_view text) {
    for (const group_by grouping : {group_by::section, group_by::object, group_by::archive}) {
        if (text == group_by_name(grouping)) {
            return grouping;
        }
    }
    return std::nullopt;
}

std::optional<breakdown_kind> breakdown_kind_of(group_by grouping) {
    switch (grouping) {
        case group_by::object:
            return breakdown_kind::object;
        case group_by::archive:
            return breakdown_kind::archive;
        case group_by::section:
            break;
    }
    return std::nullopt;
}

}  // namespace tarvel
