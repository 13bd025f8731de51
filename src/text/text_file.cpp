#include "text/text_file.h"

#include <filesystem>
#include <vector>

#include "platform/platform.h"

namespace tarvel {

c_text_file::c_text_file(std::string path) : path_(std::move(path)) {
    is_open_ = open();
}

c_text_file::c_text_file(const text_source& source) : path_(source.name()) {
    if (!source.is_file()) {
        copy_ = std::make_unique<std::istringstream>(*source.content());
        copy_size_ = source.content()->size();
    }
    is_open_ = open();
}

// Binary mode: the line reader drops a CR before each LF itself, so every platform reads
// Windows and Unix line ends alike, and a stray control byte cannot end the file early.
bool c_text_file::open() {
    lines_read_ = 0;
    if (copy_) {
        copy_->clear();
        copy_->seekg(0);
        lines_.reset(copy_.get());
        return true;
    }
    if (platform::is_directory(path_)) {
        return false;
    }
    stream_.open(path_, std::ios::in | std::ios::binary);
    lines_.reset(stream_.is_open() ? &stream_ : nullptr);
    return stream_.is_open();
}

bool c_text_file::reopen() {
    close();
    stream_.clear();
    return open();
}

bool c_text_file::start_at(std::uint64_t offset) {
    if (!is_open_) {
        return false;
    }
    std::istream* input = copy_ ? static_cast<std::istream*>(copy_.get()) : &stream_;
    input->clear();
    input->seekg(static_cast<std::streamoff>(offset));
    if (!*input) {
        return false;
    }
    lines_read_ = 0;
    lines_.reset(input, offset);
    return true;
}

std::uint64_t c_text_file::size_if_seekable() const {
    if (!is_open_) {
        return 0;
    }
    if (copy_) {
        return copy_size_;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(path_, error)) {
        return 0;
    }
    const std::uintmax_t size = std::filesystem::file_size(path_, error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}

void c_text_file::keep_copy_unless_regular_file() {
    std::error_code error;
    if (!is_open_ || copy_ || std::filesystem::is_regular_file(path_, error)) {
        return;
    }
    std::string content;
    std::vector<char> block(64 * 1024);
    const auto block_size = static_cast<std::streamsize>(block.size());
    for (std::streamsize got = 0; (got = stream_.rdbuf()->sgetn(block.data(), block_size)) > 0;) {
        content.append(block.data(), static_cast<std::size_t>(got));
    }
    close();
    copy_size_ = content.size();
    copy_ = std::make_unique<std::istringstream>(std::move(content));
    lines_.reset(copy_.get());
}

void c_text_file::close() {
    if (stream_.is_open()) {
        stream_.close();
    }
    lines_.reset(nullptr);
}

}  // namespace tarvel
