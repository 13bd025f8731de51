// Credits program entries to the named searches of the definition and records the names that
// were matched more than once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/ambiguity_sink.h"
#include "analysis/credited_names.h"
#include "analysis/search_term_index.h"
#include "mapfile/entry_list.h"
#include "mapfile/map_entry.h"
#include "memdef/search_def.h"

namespace tarvel {

// A name matched again after it had been credited: by a later search for the same entry, or
// by any search for a later entry of that name. Searches are given by their list position.
// The name is a view of the name of the entry offered.
struct ambiguity {
    std::string_view name;
    std::size_t search = 0;          // the search that matched again
    std::size_t earlier_search = 0;  // the search the name was credited to
};

class c_search_accounting {
  public:
    // Keeps a reference to the searches, whose totals it updates. `expected_entries`, the
    // number of entries that will be offered, sizes the table of credited names at once.
    explicit c_search_accounting(search_list& searches, std::size_t expected_entries = 0);

    // Offers one program entry to every search, in list order. The first search that matches
    // a name not yet credited (for an entry of a map that names object files: a name not yet
    // credited for that object file) is credited with the entry's size; every other match is an
    // ambiguity, whose bytes are added up instead. The searches that match are those whose
    // `search_def::matches` accepts the name; an index finds them in one scan of the name.
    // Returns the position of the search credited with the entry, or no_search.
    //
    // The accounting keeps a reference to the entry and views of its name: the entry must stay
    // where it is as long as the accounting (the entries of an entry list do).
    std::size_t account(const c_map_entry& entry) { return account(entry, prepare(entry)); }

    // `account` for every entry of `entries`, in their order, calling `visit(entry, search)`
    // with the search position that `account` returned. In a large list the names and the
    // credited keys are cache misses: each entry's key is hashed, and its slot requested, a few
    // entries ahead of its accounting, so that the misses overlap.
    template <typename Visit>
    void account_all(const c_entry_list& entries, Visit visit) {
        constexpr std::size_t ahead = 8;
        std::array<std::uint32_t, ahead> hashes{};
        auto lead = entries.begin();
        std::size_t led = 0;
        for (; led < ahead && lead != entries.end(); ++led, ++lead) {
            hashes[led % ahead] = prepare(*lead);
        }
        std::size_t at = 0;
        for (const c_map_entry& entry : entries) {
            const std::uint32_t hash = hashes[at++ % ahead];
            if (lead != entries.end()) {
                hashes[led++ % ahead] = prepare(*lead);
                ++lead;
            }
            visit(entry, account(entry, hash));
        }
    }

    static constexpr std::size_t no_search = static_cast<std::size_t>(-1);

    // From now on, ambiguities go to `sink` as they are found instead of into `ambiguities`.
    void send_ambiguities_to(c_ambiguity_sink* sink) { sink_ = sink; }

    // Sets the ambiguities of a model rebuilt from a stored report, which accounts no entry
    // itself; their names must outlive the accounting.
    void restore(std::vector<ambiguity> records, std::uint32_t bytes) {
        ambiguity_count_ = records.size();
        ambiguities_ = std::move(records);
        ambiguous_bytes_ = bytes;
    }

    // The ambiguities kept (none are while a sink takes them), and how many were found.
    const std::vector<ambiguity>& ambiguities() const { return ambiguities_; }
    std::size_t ambiguity_count() const { return ambiguity_count_; }
    std::uint32_t ambiguous_bytes() const { return ambiguous_bytes_; }

    // The text form of the search at `position`, computed once.
    const std::string& search_text(std::size_t position) const { return texts_[position]; }

  private:
    // The hash of the entry's key, with its slot in the table requested.
    std::uint32_t prepare(const c_map_entry& entry) const {
        if (searches_.empty()) {
            return 0;
        }
        const std::uint32_t hash = c_credited_names::hash_of(entry);
        credited_.prefetch(hash);
        return hash;
    }
    std::size_t account(const c_map_entry& entry, std::uint32_t hash);
    void add_ambiguity(std::string_view name, std::size_t search, std::size_t earlier_search,
                       std::uint32_t size);

    std::vector<search_def*> searches_;
    std::vector<std::string> texts_;
    c_search_term_index index_;
    std::size_t expected_entries_ = 0;

    std::vector<std::size_t> matching_;  // scratch: the searches matching the current name
    c_credited_names credited_;          // the keys credited so far
    std::vector<ambiguity> ambiguities_;
    c_ambiguity_sink* sink_ = nullptr;
    std::size_t ambiguity_count_ = 0;
    std::uint32_t ambiguous_bytes_ = 0;
};

}  // namespace tarvel
