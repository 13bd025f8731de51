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

c_output_file::c_output_file(std::string path) : path_(std::move(path)) {
    errno = 0;
    if (is_device_or_pipe(path_)) {
        stream_.open(path_, std::ios::out | std::ios::trunc);
    } else {
        temporary_ = path_ + ".tmp" + std::to_string(std::random_device{}() % 1000000);
        stream_.open(temporary_, std::ios::out | std::ios::trunc);
    }
    if (!stream_.is_open()) {
        failure_ = failure_reason(path_, errno);
    }
}

c_output_file::~c_output_file() {
    if (stream_.is_open()) {
        stream_.close();
    }
    if (!committed_ && !temporary_.empty()) {
        std::remove(temporary_.c_str());
    }
}

bool c_output_file::finish() {
    if (!stream_.is_open()) {
        return written_;
    }
    errno = 0;
    stream_.close();
    if (stream_.fail()) {
        failure_ = failure_reason(path_, errno);
        return false;
    }
    written_ = true;
    return true;
}

bool c_output_file::commit() {
    if (!finish()) {
        return false;
    }
    errno = 0;
    if (!temporary_.empty() && !platform::replace_file(temporary_, path_)) {
        failure_ = failure_reason(path_, errno);
        return false;
    }
    committed_ = true;
    return true;
}

bool write_output_file(const std::string& path, const std::function<void(std::ostream&)>& render) {
    c_output_file file(path);
    if (!file.is_open()) {
        return false;
    }
    render(file.stream());
    return file.commit();
}

std::optional<output_failure> write_output_set(std::span<const output_content> files) {
    std::vector<std::unique_ptr<c_output_file>> outputs;
    for (std::size_t i = 0; i < files.size(); ++i) {
        outputs.push_back(std::make_unique<c_output_file>(files[i].path));
        if (!outputs.back()->is_open()) {
            return output_failure{i, outputs.back()->failure()};
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i].write(outputs[i]->stream());
        if (!outputs[i]->finish()) {
            return output_failure{i, outputs[i]->failure()};
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!outputs[i]->commit()) {
            return output_failure{i, outputs[i]->failure()};
        }
    }
    return std::nullopt;
}

}  // namespace tarvel
