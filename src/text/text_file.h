// A text file read line by line: the one place where the readers of definition, map and EEPROM
// files meet the file system.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "text/line_reader.h"
#include "text/text_source.h"

namespace tarvel {

class c_text_file {
  public:
    // Opens the file for reading. A file that cannot be opened, or a directory, leaves
    // `is_open` false.
    explicit c_text_file(std::string path);
    // Reads the source: a file as above, text in memory as it is.
    explicit c_text_file(const text_source& source);
    c_text_file(const c_text_file&) = delete;
    c_text_file& operator=(const c_text_file&) = delete;

    const std::string& path() const { return path_; }
    bool is_open() const { return is_open_; }

    // Next line of the file, of any length (see c_line_reader); false at the end of the file
    // and after `close`.
    bool next(std::string_view& line) {
        if (!lines_.next(line)) {
            return false;
        }
        ++lines_read_;
        return true;
    }

    // Lines given by `next` since the file was last opened from its start.
    std::uint64_t lines_read() const { return lines_read_; }

    // Opens the file again from its start; false when that fails.
    bool reopen();

    // Reads on from `offset` (a line start) of a regular file or text in memory, whatever was
    // read before; `lines_read` counts from there. False when the file cannot go there.
    bool start_at(std::uint64_t offset);
    // Where the next line begins, counted in characters from the file's start.
    std::uint64_t position() const { return lines_.position(); }
    // `next` gives false at `offset` (a line start), until `go_on`: so that two readers
    // share the file, each reading its part.
    void stop_at(std::uint64_t offset) { lines_.stop_at(offset); }
    bool at_stop() const { return lines_.at_stop(); }
    void go_on() { lines_.go_on(); }
    // The size of a regular file or of text in memory; 0 for anything else (a pipe).
    std::uint64_t size_if_seekable() const;

    // A file that is not a regular file, such as a pipe, can be read only once. A reader that
    // reads its file twice calls this before its first pass: such a file is then read into
    // memory, and every pass reads that copy. A regular file is left as it is.
    void keep_copy_unless_regular_file();

    void close();

  private:
    bool open();

    std::string path_;
    std::ifstream stream_;
    bool is_open_ = false;
    std::uint64_t lines_read_ = 0;
    c_line_reader lines_;
    std::unique_ptr<std::istringstream> copy_;  // the content, when it cannot be read again
                                                // or was given in memory
    std::uint64_t copy_size_ = 0;
};

}  // namespace tarvel
