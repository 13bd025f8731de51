// Output files that nobody sees half written.
#pragma once

#include <fstream>
#include <functional>
#include <ostream>
#include <string>

namespace tarvel {

// The content goes to a temporary file beside the target, which then replaces the target in
// one step: a reader of the target sees the old file or the new one, never a mixture, and a
// failed run leaves the old file as it was. Written in text mode, like standard output.
class c_output_file {
  public:
    explicit c_output_file(std::string path);
    // Removes the temporary file unless `commit` succeeded.
    ~c_output_file();
    c_output_file(const c_output_file&) = delete;
    c_output_file& operator=(const c_output_file&) = delete;

    bool is_open() const { return stream_.is_open(); }
    std::ostream& stream() { return stream_; }

    // Closes the temporary file and puts it in the target's place. False when writing or
    // replacing failed; the target is then unchanged.
    bool commit();

  private:
    std::string path_;
    std::string temporary_;
    std::ofstream stream_;
    bool committed_ = false;
};

// Writes what `render` writes to the file at `path` through a c_output_file. False when the
// file could not be written.
bool write_output_file(const std::string& path, const std::function<void(std::ostream&)>& render);

}  // namespace tarvel
