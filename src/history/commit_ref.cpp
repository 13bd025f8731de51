#include "history/commit_ref.h"

#include <charconv>
#include <initializer_list>

namespace tarvel {

namespace {
ref_result failure(ref_status status, std::string message) {
    return {status, 0, std::move(message)};
}

// Messages are put together by appending: GCC 12 warns falsely of overlapping copies in chains
// of `+` on strings.
std::string words(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

ref_result find_base(std::string_view base, const std::vector<build_ref>& builds) {
    if (base == "HEAD") {
        if (builds.empty()) {
            return failure(ref_status::not_found, "no build is stored");
        }
        return {ref_status::found, 0, ""};
    }
    if (base.empty()) {
        return failure(ref_status::malformed, "an empty commit");
    }
    std::size_t found = builds.size();
    std::size_t matches = 0;
    for (std::size_t i = 0; i < builds.size(); ++i) {
        if (builds[i].commit == base) {
            return {ref_status::found, i, ""};
        }
        if (builds[i].commit.starts_with(base)) {
            found = matches++ == 0 ? i : found;
        }
    }
    if (matches == 1) {
        return {ref_status::found, found, ""};
    }
    if (matches > 1) {
        return failure(ref_status::ambiguous,
                       words({"the commit '", base, "' is ambiguous: ", std::to_string(matches),
                              " stored builds begin with it"}));
    }
    return failure(ref_status::not_found, words({"no build of the commit '", base, "' is stored"}));
}

std::size_t find_exact(std::string_view commit, const std::vector<build_ref>& builds) {
    for (std::size_t i = 0; i < builds.size(); ++i) {
        if (builds[i].commit == commit) {
            return i;
        }
    }
    return builds.size();
}
}  // namespace

ref_result resolve_commit(std::string_view text, const std::vector<build_ref>& builds) {
    const std::size_t tilde = text.find('~');
    std::size_t steps = 0;
    if (tilde != std::string_view::npos) {
        const std::string_view count = text.substr(tilde + 1);
        const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), steps);
        if (count.empty() || error != std::errc() || end != count.data() + count.size()) {
            return failure(ref_status::malformed,
                           words({"'", text, "' is no commit: ~ must be followed by a number"}));
        }
    }
    ref_result result = find_base(text.substr(0, tilde), builds);
    for (std::size_t step = 0; result.status == ref_status::found && step < steps; ++step) {
        const build_ref& build = builds[result.position];
        if (build.parent.empty()) {
            return failure(ref_status::not_found, words({"'", text, "': the build of ",
                                                         build.commit, " has no stored parent"}));
        }
        const std::size_t parent = find_exact(build.parent, builds);
        if (parent == builds.size()) {
            return failure(ref_status::not_found,
                           words({"'", text, "': the parent ", build.parent, " of ", build.commit,
                                  " has no stored build"}));
        }
        result.position = parent;
    }
    return result;
}

}  // namespace tarvel
