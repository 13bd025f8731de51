#include "analysis/eep_usage.h"

#include "analysis/percent.h"

namespace tarvel {

eep_usage compute_eep_usage(const eep_data_sizes& sizes) {
    const std::uint32_t once_size = sizes.once_data_size;
    const std::uint32_t once_free = sizes.once_data_free;
    // Triple data is stored three times; the file states one copy.
    const std::uint32_t triple_size = 3u * sizes.triple_data_size;
    const std::uint32_t triple_free = 3u * sizes.triple_data_free;

    const std::uint32_t all_used = once_size + triple_size;
    const std::uint32_t all_free = once_free + triple_free;
    const std::uint32_t all_total = all_used + all_free;
    const std::uint32_t once_total = once_size + once_free;
    const std::uint32_t triple_total = triple_size + triple_free;
    // The triple share is taken from one copy; it equals the share of the three copies unless
    // the tripled figures wrapped around.
    const std::uint32_t triple_copy_total = sizes.triple_data_size + sizes.triple_data_free;

    eep_usage usage;
    usage.all = {all_total, all_used, all_free, percent_of(all_used, all_total)};
    usage.once = {once_total, once_size, once_free, percent_of(once_size, once_total)};
    usage.triple = {triple_total, triple_size, triple_free,
                    percent_of(sizes.triple_data_size, triple_copy_total)};
    return usage;
}

c_result<eep_usage, eep_problem> read_eep_usage(const std::string& eep_file_name,
                                                std::ostream& out) {
    if (eep_file_name.empty()) {
        return eep_problem::no_file_name;
    }
    c_eep_file file(text_source::file(eep_file_name));
    if (!file.is_open()) {
        return eep_problem::invalid_file;
    }
    eep_data_sizes sizes;
    if (!file.read_sizes(sizes, out)) {
        return eep_problem::file_end;
    }
    return compute_eep_usage(sizes);
}

}  // namespace tarvel
