// The few operating-system services the tool needs, behind one small interface so that the
// rest of the code is the same on Windows and on POSIX systems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <span>
#include <string>

namespace tarvel::platform {

// True when the path starts with a drive prefix ("C:" on Windows, "/" on POSIX): such a path
// is used as given instead of being looked up next to the program.
bool path_has_drive(const std::string& path);

// True when a file or a directory exists at the path (relative paths are taken from the
// current directory).
bool path_exists(const std::string& path);

// True when the path names a directory.
bool is_directory(const std::string& path);

// Replaces `target` with `source` in one step, so that readers of `target` see either the old
// or the new content, never a mixture. Returns false (and leaves `target` alone) on failure.
bool replace_file(const std::string& source, const std::string& target);

// The version information of a program file, as the banner needs it.
struct version_info {
    bool available = false;             // false: the file carries no version information
    std::uint32_t file_version_ms = 0;  // major number in the upper, minor in the lower 16 bits
    std::string legal_copyright;        // empty when the entry is missing
    std::string original_filename;      // empty when the entry is missing
};

// Reads the version information of the program file at `program_path`.
version_info read_version_info(const std::string& program_path);

// Memory for the large blocks in which a big map's entries, names and tables are kept (the
// code that keeps them takes its blocks from std::pmr::get_default_resource(), and the
// programs make this the default). A block of 2 MiB or more is mapped on its own and, where the
// system offers it, backed by large pages: a million entries then cost a few dozen page
// faults instead of some fifteen thousand. Smaller blocks come from the ordinary heap.
std::pmr::memory_resource* large_block_resource();

// A regular file's bytes mapped read-only into memory, so that a reader that needs a few parts
// of a large file (the headers of an ELF file, whose contents and debugging sections can be
// larger than the map) touches only those pages. Not open for what cannot be mapped (a missing
// file, a directory, a pipe); an empty file is open and empty.
class c_mapped_file {
  public:
    explicit c_mapped_file(const std::string& path);
    ~c_mapped_file();
    c_mapped_file(const c_mapped_file&) = delete;
    c_mapped_file& operator=(const c_mapped_file&) = delete;

    bool is_open() const { return open_; }
    std::span<const std::uint8_t> bytes() const {
        return {static_cast<const std::uint8_t*>(data_), size_};
    }

  private:
    const void* data_ = nullptr;
    std::size_t size_ = 0;
    bool open_ = false;
};

}  // namespace tarvel::platform
