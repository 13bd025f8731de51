// Output files that nobody sees half written.
#pragma once

#include <cstddef>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "text/input_result.h"

namespace tarvel {

// Done, or why an output file could not be written, in words ("the directory 'out' does not
// exist").
using output_result = c_result<done, std::string>;

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

    // Whether the file is open for writing, or why not.
    const output_result& opened() const { return opened_; }
    std::ostream& stream() { return stream_; }

    // Closes the temporary file and checks that all of it was written (a full disk shows
    // here); the target is unchanged either way. A file that was never opened gives the error
    // of its opening.
    output_result finish();

    // Finishes the file and puts it in the target's place. On an error of writing or
    // replacing the target is unchanged.
    output_result commit();

  private:
    output_result open();

    std::string path_;
    std::string temporary_;  // empty when the target is written directly
    std::ofstream stream_;
    output_result opened_;
    output_result finished_ = done{};  // what the closing found, once the stream is closed
    bool committed_ = false;
};


// One file of an output set: where it goes and what writes its content.
struct output_content {
    std::string path;
    std::function<void(std::ostream&)> write;
};

// The file of an output set that could not be written, and why in words.
struct output_failure {
    std::size_t file = 0;  // its index in the set
    std::string reason;    // as the c_output_file's error gives it
};

// Writes several files as one: every temporary is opened before any content is written (a
// file that cannot be written ends it while every target is as it was), and every content is
// written in full before any temporary replaces its target (a full disk at the last file must
// not leave the earlier ones of this run beside old ones). None when all were written; the
// temporaries of a failed set are removed.
std::optional<output_failure> write_output_set(std::span<const output_content> files);

}  // namespace tarvel
