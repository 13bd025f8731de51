// The base of every map reader: the open map file and the placement of entries into the
// areas of the memory definition.
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "mapfile/entry_list.h"
#include "mapfile/map_entry.h"
#include "memdef/memory_def.h"
#include "text/line_reader.h"

namespace tarvel {

class c_map_file {
  public:
    // Opens the file for reading. A file that cannot be opened (or a directory) leaves
    // `is_open` false; that is not an error here.
    explicit c_map_file(std::string file_name);
    virtual ~c_map_file();
    c_map_file(const c_map_file&) = delete;
    c_map_file& operator=(const c_map_file&) = delete;

    // Reads the map and places its entries. The base version reads nothing and returns false.
    // Every reader returns false at once when the file is not open, and otherwise true when
    // at least one of the two lists holds an entry afterwards.
    virtual bool parse(const c_memory_def& def, c_entry_list& program_entries,
                       c_entry_list& memory_entries);

    // Hook called once with all entries read, before any is placed. May change entries and
    // append new ones. The base version does nothing and returns true.
    virtual bool post_process(std::vector<c_map_entry>& entries);

    const std::string& file_name() const { return file_name_; }
    bool is_open() const { return is_open_; }

  protected:
    // Opens the file again from its start; false when that fails.
    bool reopen();
    // A map that is not a regular file, such as a pipe, can be read only once. A reader that
    // reads its map twice calls this before its first pass: such a map is then read into
    // memory, and every pass reads that copy. A regular file is left as it is.
    void keep_copy_unless_regular_file();
    void close();

    // Next line of the file, of any length; false at the end of the file.
    bool next_line(std::string_view& line) { return lines_.next(line); }

    // Puts the entry into program_entries when a program area holds it, else into
    // memory_entries when a RAM area holds it; otherwise drops it. Returns whether it was
    // placed.
    static bool place(c_map_entry entry, const c_memory_def& def, c_entry_list* program_entries,
                      c_entry_list* memory_entries);

    std::string file_name_;
    std::ifstream stream_;
    bool is_open_ = false;

  private:
    bool open();

    c_line_reader lines_;
    std::unique_ptr<std::istringstream> copy_;  // the map's content, when it cannot be reread
};

}  // namespace tarvel
