// Where the ambiguities of a search accounting go when they are not kept.
#pragma once

#include <string>
#include <string_view>

namespace tarvel {

// Takes each ambiguity as the accounting finds it. A map whose searches overlap can have an
// ambiguity per name, a million of them: passed on at once, they need no memory.
class c_ambiguity_sink {
  public:
    virtual ~c_ambiguity_sink() = default;

    // `name` was matched by `search` after it had been credited to `earlier_search`; both are
    // the searches' text forms.
    virtual void take(std::string_view name, const std::string& search,
                      const std::string& earlier_search) = 0;
};

}  // namespace tarvel
