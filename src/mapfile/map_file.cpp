#include "mapfile/map_file.h"

#include <filesystem>

#include "platform/platform.h"

namespace tarvel {

c_map_file::c_map_file(std::string file_name) : file_name_(std::move(file_name)) {
    is_open_ = open();
}

c_map_file::~c_map_file() {
    close();
}

// Binary mode: the line reader drops a CR before each LF itself, so every platform reads
// Windows and Unix line ends alike, and a stray control byte cannot end the file early.
bool c_map_file::open() {
    if (copy_) {
        copy_->clear();
        copy_->seekg(0);
        lines_.reset(copy_.get());
        return true;
    }
    if (platform::is_directory(file_name_)) {
        return false;
    }
    stream_.open(file_name_, std::ios::in | std::ios::binary);
    lines_.reset(stream_.is_open() ? &stream_ : nullptr);
    return stream_.is_open();
}

bool c_map_file::reopen() {
    close();
    stream_.clear();
    return open();
}

void c_map_file::keep_copy_unless_regular_file() {
    std::error_code error;
    if (!is_open_ || copy_ || std::filesystem::is_regular_file(file_name_, error)) {
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

void c_map_file::close() {
    if (stream_.is_open()) {
        stream_.close();
    }
    lines_.reset(nullptr);
}

bool c_map_file::parse(const c_memory_def& /*def*/, c_entry_list& /*program_entries*/,
                       c_entry_list& /*memory_entries*/) {
    return false;
}

bool c_map_file::post_process(std::vector<c_map_entry>& /*entries*/) {
    return true;
}

bool c_map_file::place(c_map_entry entry, const c_memory_def& def, c_entry_list* program_entries,
                       c_entry_list* memory_entries) {
    if (program_entries != nullptr &&
        c_memory_def::find_area(entry.address, entry.size, entry.index, def.program)) {
        program_entries->insert(std::move(entry));
        return true;
    }
    if (memory_entries != nullptr &&
        c_memory_def::find_area(entry.address, entry.size, entry.index, def.memory)) {
        memory_entries->insert(std::move(entry));
        return true;
    }
    return false;
}

}  // namespace tarvel
