#include "mapfile/origin_table.h"

namespace tarvel {

entry_origin split_origin(std::string_view file) {
    if (file.size() >= 3 && file.back() == ')') {
        const std::size_t open = file.rfind('(');
        if (open != std::string_view::npos && open > 0 && open + 2 < file.size()) {
            return {std::string(file.substr(open + 1, file.size() - open - 2)),
                    std::string(file.substr(0, open))};
        }
    }
    return {std::string(file), std::string()};
}

std::string origin_name(const entry_origin& origin) {
    std::string name;
    assign_origin_name(name, origin.archive, origin.object);
    return name;
}

void assign_origin_name(std::string& name, std::string_view archive, std::string_view member) {
    if (archive.empty()) {
        name.assign(member);
        return;
    }
    name.assign(archive).append("(").append(member).append(")");
}

std::uint32_t c_origin_table::index_of(std::string_view file) {
    if (file.empty()) {
        return no_origin;
    }
    const auto spelled = by_spelling_.find(file);
    if (spelled != by_spelling_.end()) {
        return spelled->second;
    }
    entry_origin origin = split_origin(file);
    auto key = std::make_pair(origin.object, origin.archive);
    std::uint32_t index = 0;
    const auto found = known_.find(key);
    if (found != known_.end()) {
        index = found->second;
    } else {
        index = static_cast<std::uint32_t>(origins_.size());
        origins_.push_back(std::move(origin));
        known_.emplace(std::move(key), index);
    }
    by_spelling_.emplace(spellings_.store(file), index);
    return index;
}

}  // namespace tarvel
