// A fresh directory for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace tarvel::test {

class c_temp_dir {
  public:
    c_temp_dir() {
        std::random_device random;
        for (;;) {
            path_ = std::filesystem::temp_directory_path() /
                    ("tarvel-test-" + std::to_string(random()) + std::to_string(random()));
            if (std::filesystem::create_directory(path_)) {
                break;
            }
        }
    }
    ~c_temp_dir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    c_temp_dir(const c_temp_dir&) = delete;
    c_temp_dir& operator=(const c_temp_dir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `content` byte for byte to the file `name` in this directory; returns its path.
    std::filesystem::path write(const std::string& name, const std::string& content) const {
        const auto file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << content;
        return file;
    }

    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    std::filesystem::path path_;
};

}  // namespace tarvel::test
