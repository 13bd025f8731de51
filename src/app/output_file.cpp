#include "app/output_file.h"

#include <cstdio>
#include <random>

#include "platform/platform.h"

namespace tarvel {

c_output_file::c_output_file(std::string path)
    : path_(std::move(path)),
      temporary_(path_ + ".tmp" + std::to_string(std::random_device{}() % 1000000)) {
    stream_.open(temporary_, std::ios::out | std::ios::trunc);
}

c_output_file::~c_output_file() {
    if (stream_.is_open()) {
        stream_.close();
    }
    if (!committed_) {
        std::remove(temporary_.c_str());
    }
}

bool c_output_file::commit() {
    if (!stream_.is_open()) {
        return false;
    }
    stream_.close();
    if (stream_.fail() || !platform::replace_file(temporary_, path_)) {
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

}  // namespace tarvel
