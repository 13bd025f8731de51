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
