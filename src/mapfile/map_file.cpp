#include "mapfile/map_file.h"

#include <algorithm>

#include "platform/background_task.h"

namespace tarvel {

c_map_file::c_map_file(const text_source& source) : source_(source), file_(source) {
    is_open_ = file_.is_open();
}

reader_counts c_map_file::counts() const {
    reader_counts counts = counts_;
    counts.lines_read = std::max(counts.lines_read, file_.lines_read());
    return counts;
}

bool c_map_file::reopen() {
    counts_.lines_read = std::max(counts_.lines_read, file_.lines_read());
    return file_.reopen();
}

c_result<parsed_map> c_map_file::parse(const c_memory_def& /*def*/,
                                       c_entry_list& /*program_entries*/,
                                       c_entry_list& /*memory_entries*/) {
    if (!is_open_) {
        return not_open();
    }
    return parsed_map{};
}

std::uint64_t c_map_file::split_search_start() const {
    const std::uint64_t size = file_.size_if_seekable();
    if (size == 0 || size < split_.min_bytes) {
        return 0;
    }
    if (split_.min_bytes > 0 && !platform::runs_threads_side_by_side()) {
        return 0;
    }
    return split_.from != 0 ? std::min(split_.from, size) : size / 2;
}

void c_map_file::take_later_part(const c_map_file& later, c_origin_table& origins,
                                 c_entry_list& program_entries, c_entry_list& memory_entries,
                                 c_entry_list& later_program, c_entry_list& later_memory) {
    std::vector<std::uint32_t> origin_at;
    origin_at.reserve(later.origins_.size());
    for (const entry_origin& origin : later.origins_) {
        origin_at.push_back(origins.index_of(origin));
    }
    program_entries.take_all_of(std::move(later_program), origin_at);
    memory_entries.take_all_of(std::move(later_memory), origin_at);
    for (c_map_entry entry : later.unplaced_) {
        if (entry.origin != no_origin) {
            entry.origin = origin_at[entry.origin];
        }
        unplaced_.push_back(entry);
    }
    counts_.lines_read = std::max(counts_.lines_read, file_.lines_read());
    counts_.add_later(later.counts(), file_.lines_read());
}

input_error c_map_file::not_open() const {
    return input_error{file_name(), 0, "cannot be opened for reading"};
}

bool c_map_file::define_areas(c_memory_def& /*def*/) {
    return false;
}

void c_map_file::post_process(std::vector<c_map_entry>& /*entries*/) {}

bool c_map_file::place(c_map_entry entry, const c_memory_def& def, c_entry_list* program_entries,
                       c_entry_list* memory_entries) {
    if (program_entries != nullptr &&
        c_memory_def::find_area(entry.address, entry.size, entry.index, def.program)) {
        program_entries->insert(std::move(entry));
        return true;
    }
    if (memory_entries != nullptr &&
        c_memory_def::find_area(entry.address, entry.size, entry.index, def.memory)) {
        memory_entries->insert(std::move(entry));
        return true;
    }
    return false;
}

bool c_map_file::add_entry(std::string_view name, std::uint32_t address, std::uint32_t size,
                           std::uint32_t origin, const c_memory_def& def,
                           c_entry_list& program_entries, c_entry_list& memory_entries) {
    count_recognised();
    if (std::uint64_t{address} + size > std::uint64_t{1} << 32) {
        count_dropped("address beyond 32 bits");
        return false;
    }
    c_map_entry entry;
    entry.name = name;
    entry.address = address;
    entry.size = size;
    entry.origin = origin;
    place_entry(entry, def, program_entries, memory_entries);
    return true;
}

bool c_map_file::place_entry(c_map_entry entry, const c_memory_def& def,
                             c_entry_list& program_entries, c_entry_list& memory_entries,
                             origin_file origin) {
    if (entry.size == 0) {
        count_dropped("size 0");
        return false;
    }
    // Only a failed placement needs the entry afterwards: keep a copy for that case alone.
    const bool in_program =
        c_memory_def::find_area(entry.address, entry.size, entry.index, def.program);
    if (in_program || c_memory_def::find_area(entry.address, entry.size, entry.index, def.memory)) {
        // Program memory counts every size in bytes, a bit variable's too: the entry is then
        // one of bytes, so that the reports list it as it is counted.
        if (in_program) {
            entry.is_bit = 0;
        }
        c_entry_list& list = in_program ? program_entries : memory_entries;
        if (origin.table != nullptr && list.keeps_entries()) {
            entry.origin = origin.table->index_of(origin.file);
        }
        list.insert(std::move(entry));
        ++counts_.placed;
        return true;
    }
    if (origin.table != nullptr) {
        entry.origin = origin.table->index_of(origin.file);
    }
    ++counts_.unplaced;
    entry.index = no_area;
    unplaced_.push_back(entry);
    return false;
}

void c_map_file::place_at(c_map_entry entry, bool in_program, std::uint32_t index,
                          c_entry_list& program_entries, c_entry_list& memory_entries) {
    if (entry.listed_size() == 0) {
        count_dropped("size 0");
        return;
    }
    entry.index = index;
    if (in_program) {
        entry.is_bit = 0;
    }
    (in_program ? program_entries : memory_entries).insert(std::move(entry));
    ++counts_.placed;
}

void c_map_file::keep_unplaced(c_map_entry entry) {
    if (entry.listed_size() == 0) {
        count_dropped("size 0");
        return;
    }
    ++counts_.unplaced;
    entry.index = no_area;
    unplaced_.push_back(entry);
}

}  // namespace tarvel
