// Output files that nobody sees half written.
#pragma once

#include <fstream>
#include <functional>
#include <ostream>
#include <string>

namespace tarvel {

// The content goes to a temporary file beside the target, which then replaces the target in
// one step: a reader of the target sees the old file or the new one, never a mixture, and a
// failed run leaves the old file as it was. A device or a pipe at the path is written to
// directly. Written in text mode, like standard output.
class c_output_file {
  public:
    explicit c_output_file(std::string path);
    // Removes the temporary file unless `commit` succeeded.
    ~c_output_file();
    c_output_file(const c_output_file&) = delete;
    c_output_file& operator=(const c_output_file&) = delete;

    bool is_open() const { return stream_.is_open(); }
    std::ostream& stream() { return stream_; }

    // Closes the temporary file and checks that all of it was written (a full disk shows
    // here). False when not; the target is then unchanged.
    bool finish();

    // Finishes the file and puts it in the target's place. False when writing or replacing
    // failed; the target is then unchanged.
    bool commit();

    // Why opening or `commit` failed, in words ("the directory 'out' does not exist").
    const std::string& failure() const { return failure_; }

  private:
    std::string path_;
    std::string temporary_;  // empty when the target is written directly
    std::ofstream stream_;
    std::string failure_;
    bool written_ = false;  // finished, every byte written
    bool committed_ = false;
};

// Writes what `render` writes to the file at `path` through a c_output_file. False when the
// file could not be written.
bool write_output_file(const std::string& path, const std::function<void(std::ostream&)>& render);

}  // namespace tarvel
