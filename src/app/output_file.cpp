#include "app/output_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "platform/platform.h"

namespace tarvel {

namespace {
// A device or a pipe (/dev/null, /dev/stdout, a FIFO): something to write to, not a file to
// replace. Renaming a file over it would put a plain file in its place, and run as root, even
// over /dev/null.
bool is_device_or_pipe(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

// Why the file at `path` could not be written, from what is there and from `error_number`,
// the errno of the failed call (0 when none was set).
std::string failure_reason(const std::string& path, int error_number) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory(path, error)) {
        return "it is a directory";
    }
    fs::path directory = fs::path(path).parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    if (!fs::exists(directory, error)) {
        return std::string("the directory '").append(directory.string()).append("' does not exist");
    }
    if (!fs::is_directory(directory, error)) {
        return std::string("'").append(directory.string()).append("' is not a directory");
    }
    switch (error_number) {
        case EACCES:
        case EPERM:
            return std::string("no permission to write in '")
                .append(directory.string())
                .append("'");
        case EROFS:
            return "the file system is read-only";
        case ENOSPC:
            return "no space left on the device";
        case 0:
            return "it cannot be written";
        default:
            return std::generic_category().message(error_number);
    }
}
}  // namespace

c_output_file::c_output_file(std::string path) : path_(std::move(path)), opened_(open()) {}

output_result c_output_file::open() {
    errno = 0;
    if (is_device_or_pipe(path_)) {
        stream_.open(path_, std::ios::out | std::ios::trunc);
    } else {
        temporary_ = path_ + ".tmp" + std::to_string(std::random_device{}() % 1000000);
        stream_.open(temporary_, std::ios::out | std::ios::trunc);
    }
    if (!stream_.is_open()) {
        return failure_reason(path_, errno);
    }
    return done{};
}

c_output_file::~c_output_file() {
    if (stream_.is_open()) {
        stream_.close();
    }
    if (!committed_ && !temporary_.empty()) {
        std::remove(temporary_.c_str());
    }
}

output_result c_output_file::finish() {
    if (!opened_ || !stream_.is_open()) {
        return opened_ ? finished_ : opened_;
    }
    errno = 0;
    stream_.close();
    if (stream_.fail()) {
        finished_ = failure_reason(path_, errno);
    }
    return finished_;
}

output_result c_output_file::commit() {
    if (output_result finished = finish(); !finished) {
        return finished;
    }
    errno = 0;
    if (!temporary_.empty() && !platform::replace_file(temporary_, path_)) {
        return failure_reason(path_, errno);
    }
    committed_ = true;
    return done{};
}

std::optional<output_failure> write_output_set(std::span<const output_content> files) {
    std::vector<std::unique_ptr<c_output_file>> outputs;
    for (std::size_t i = 0; i < files.size(); ++i) {
        outputs.push_back(std::make_unique<c_output_file>(files[i].path));
        if (const output_result& opened = outputs.back()->opened(); !opened) {
            return output_failure{i, opened.error()};
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i].write(outputs[i]->stream());
        if (const output_result finished = outputs[i]->finish(); !finished) {
            return output_failure{i, finished.error()};
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (const output_result committed = outputs[i]->commit(); !committed) {
            return output_failure{i, committed.error()};
        }
    }
    return std::nullopt;
}

}  // namespace tarvel
