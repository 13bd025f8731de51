// The base of every map reader: the open map file, the placement of entries into the areas of
// the memory definition, and what the reader saw while reading.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mapfile/entry_list.h"
#include "mapfile/entry_vector.h"
#include "mapfile/map_entry.h"
#include "mapfile/name_arena.h"
#include "mapfile/origin_table.h"
#include "mapfile/reader_counts.h"
#include "memdef/memory_def.h"
#include "text/input_result.h"
#include "text/text_file.h"
#include "text/text_source.h"

namespace tarvel {

namespace gnu {
class c_elf_witness;
}

// Entries hold 32-bit addresses: a reader of a format that prints wider ones drops a piece
// that lies, or ends, at or beyond this.
constexpr std::uint64_t entry_address_space = std::uint64_t{1} << 32;

// What `parse` gives back for a map it could read.
struct parsed_map {
    // Whether either entry list holds an entry afterwards. A map read without placing anything
    // (no entry lies in an area, or the text is not of the reader's format) is no error: the
    // run then has nothing to report.
    bool placed_any = false;
};

// The object file of an entry, to be looked up in `table` only where the entry's origin is
// kept: a list that keeps sums only folds it away, and a map of a million pieces then spends no
// lookup on it.
struct origin_file {
    c_origin_table* table = nullptr;  // null: the entry's origin is set already
    std::string_view file;
};

// How a reader that can do so splits a large map between two threads: the later part begins
// at the first line after `from` where the reader's state depends on nothing before it, and is
// read beside the earlier part; if the earlier part then ends in another state, the reader
// reads on from there itself and the later part's work is dropped.
struct split_policy {
    // A smaller map (or a pipe) is read by one thread: starting a second costs more than it
    // saves.
    std::uint64_t min_bytes = std::uint64_t{32} << 20;
    std::uint64_t from = 0;  // 0: half way
};

class c_map_file {
  public:
    // Opens the map for reading. A file that cannot be opened (or a directory) leaves
    // `is_open` false; that is not an error here.
    explicit c_map_file(const text_source& source);
    virtual ~c_map_file() = default;
    c_map_file(const c_map_file&) = delete;
    c_map_file& operator=(const c_map_file&) = delete;

    // Reads the map and places its entries. Every reader gives the error `not_open()` at once
    // when the file is not open. The base version reads nothing and places nothing.
    virtual c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                                       c_entry_list& memory_entries);

    // Hook called once with all entries read, before any is placed. May change entries and
    // append new ones. The base version does nothing.
    virtual void post_process(std::vector<c_map_entry>& entries);

    // Maps that describe the target's memory themselves (a linker's memory regions) fill `def`
    // with those areas, named, and return true; the base version leaves `def` alone and
    // returns false. Called before `parse`, instead of reading a definition file.
    virtual bool define_areas(c_memory_def& def);

    // Whether entries may lie past the end of the area that holds them: formats whose entries
    // belong to the area they start in, so that an overflowing link shows as an over-full
    // area. Other formats place only entries that an area holds whole.
    virtual bool entries_may_overrun_areas() const { return false; }

    // The ELF file of the same link, whose section headers then decide each output section's
    // figures; readers of maps without addresses take no notice of it. Null: none.
    void set_elf_witness(gnu::c_elf_witness* witness) { elf_witness_ = witness; }

    void set_split_policy(const split_policy& policy) { split_ = policy; }

    const std::string& file_name() const { return file_.path(); }
    bool is_open() const { return is_open_; }

    // What the last `parse` saw: lines, recognised entries, the drop rules that applied, and
    // how many entries were placed.
    reader_counts counts() const;
    // The recognised entries that lie in no area of the definition, in the order read.
    const c_entry_vector& unplaced() const { return unplaced_; }
    // The object files and archives that entries come from (`c_map_entry::origin` indexes
    // this); empty for formats that do not name them.
    const std::vector<entry_origin>& origins() const { return origins_; }

  protected:
    // The error of a map that cannot be read: the file is missing, unreadable or a directory.
    input_error not_open() const;
    // What `parse` placed into the two lists.
    static parsed_map placed_in(const c_entry_list& program_entries,
                                const c_entry_list& memory_entries) {
        return {!program_entries.empty() || !memory_entries.empty()};
    }

    // Opens the file again from its start; false when that fails.
    bool reopen();

    // Where a later part of the map may begin looking for its first line, or 0 where the map
    // is read whole by one thread (see split_policy).
    std::uint64_t split_search_start() const;
    // Another reader of the same map, for its later part.
    const text_source& source() const { return source_; }
    // Reading from a line start on, up to a line start, and where the next line begins.
    bool start_at(std::uint64_t offset) { return file_.start_at(offset); }
    void stop_at(std::uint64_t offset) { file_.stop_at(offset); }
    bool at_stop() const { return file_.at_stop(); }
    void go_on() { file_.go_on(); }
    std::uint64_t line_position() const { return file_.position(); }
    // Makes `later`, another reader of this map, read from the first line after `from` that
    // `begins_part` accepts, and this reader stop there; false where no line after `from` is
    // one.
    template <typename Accepts>
    bool split_at_first(c_map_file& later, std::uint64_t from, Accepts begins_part) {
        std::string_view line;
        // The first line read ends the line that the search begins in.
        if (!later.start_at(from) || !later.next_line(line)) {
            return false;
        }
        for (;;) {
            const std::uint64_t begins = later.line_position();
            if (!later.next_line(line)) {
                return false;
            }
            if (begins_part(line)) {
                if (!later.start_at(begins)) {
                    return false;
                }
                stop_at(begins);
                return true;
            }
        }
    }

    // Takes over what `later`, a reader of this map from this reader's stop on, read: its
    // counts (its lines numbered on from this reader's), its unplaced entries, and the entries
    // of its lists moved into this reader's, with their origins in `origins`.
    void take_later_part(const c_map_file& later, c_origin_table& origins,
                         c_entry_list& program_entries, c_entry_list& memory_entries,
                         c_entry_list& later_program, c_entry_list& later_memory);
    void keep_copy_unless_regular_file() { file_.keep_copy_unless_regular_file(); }
    void close() { file_.close(); }

    // Next line of the file, of any length; false at the end of the file.
    bool next_line(std::string_view& line) { return file_.next(line); }

    // Puts the entry into program_entries when a program area holds it, else into
    // memory_entries when a RAM area holds it; otherwise drops it. Returns whether it was
    // placed.
    static bool place(c_map_entry entry, const c_memory_def& def, c_entry_list* program_entries,
                      c_entry_list* memory_entries);

    // `place` for an entry the map holds: counts it as placed, or keeps it among the unplaced
    // ones (an entry of size 0 takes no memory and is counted as dropped instead).
    bool place_entry(c_map_entry entry, const c_memory_def& def, c_entry_list& program_entries,
                     c_entry_list& memory_entries, origin_file origin = {});

    // Counts an entry of the map as recognised and places it with `place_entry`; an entry that
    // runs past the 32-bit address space is counted as dropped instead. False only then: the
    // entry was within 32 bits, wherever it was placed.
    bool add_entry(std::string_view name, std::uint32_t address, std::uint32_t size,
                   std::uint32_t origin, const c_memory_def& def, c_entry_list& program_entries,
                   c_entry_list& memory_entries);

    // A copy of `name` that lives as long as the reader: for entries that are kept while
    // further lines are read (the line buffer moves on).
    std::string_view keep_name(std::string_view name) { return names_.store(name); }

    // Puts the entry into an area chosen by the reader, whatever the entry's extent: the
    // program area at `index` when `in_program`, else the area at `index` counted on from the
    // first RAM area (RAM, then EEPROM, then the other areas). An entry of listed size 0 is
    // counted as dropped instead.
    void place_at(c_map_entry entry, bool in_program, std::uint32_t index,
                  c_entry_list& program_entries, c_entry_list& memory_entries);
    // Keeps a recognised entry that lies in no area among the unplaced ones.
    void keep_unplaced(c_map_entry entry);

    // Counts a recognised entry, and one that a rule of the format leaves out.
    void count_recognised() { ++counts_.recognised; }
    void count_dropped(std::string_view rule) { counts_.drop(rule); }
    // Counts the line just read as damaged: it should have been `expected` and is not.
    void count_damaged(std::string_view expected) { counts_.damaged(file_.lines_read(), expected); }
    // The same for an earlier line, for a figure that the map states before the lines that
    // prove it wrong (a region's used bytes, a section's length).
    void count_damaged_at(std::uint64_t line, std::string_view expected) {
        counts_.damaged(line, expected);
    }
    // The number of the line just read, counted from 1.
    std::uint64_t line_number() const { return file_.lines_read(); }

    bool is_open_ = false;
    std::vector<entry_origin> origins_;
    gnu::c_elf_witness* elf_witness_ = nullptr;

  private:
    text_source source_;
    split_policy split_;
    c_text_file file_;
    reader_counts counts_;
    c_entry_vector unplaced_;
    c_name_arena names_;
};

}  // namespace tarvel
