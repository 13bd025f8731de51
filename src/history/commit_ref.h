// Which stored build a commit given on the command line means: a full id, a prefix that only
// one build's id begins with, HEAD (the newest build), and any of these followed by ~N, N
// steps back along the stored parents.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

struct build_ref {
    std::string commit;
    std::string parent;  // empty when none was stored
};

enum class ref_status { found, not_found, ambiguous, malformed };

struct ref_result {
    ref_status status = ref_status::not_found;
    std::size_t position = 0;  // in the builds, when found
    std::string message;       // why not, in words
};

// `builds`: one target's builds, newest first.
ref_result resolve_commit(std::string_view text, const std::vector<build_ref>& builds);

}  // namespace tarvel
