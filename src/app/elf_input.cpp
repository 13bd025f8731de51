#include "app/elf_input.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/platform.h"

namespace tarvel {

namespace {
std::optional<elf::elf_image> parse(std::span<const std::uint8_t> bytes, const std::string& path,
                                    std::string& error) {
    elf::elf_error problem;
    std::optional<elf::elf_image> image = elf::read_elf(bytes, problem);
    if (!image) {
        error = "the ELF file '" + path + "' is damaged: " + elf::describe(problem);
    }
    return image;
}
}  // namespace

std::optional<elf::elf_image> read_elf_file(const std::string& path, std::string& error) {
    // A regular file is mapped: of its contents and debugging sections, often larger than the
    // map, only the pages that hold the headers are read.
    const platform::c_mapped_file mapped(path);
    if (mapped.is_open()) {
        return parse(mapped.bytes(), path, error);
    }
    // Anything else that can be read (a pipe) is read whole.
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        error = "cannot read the ELF file '" + path + "'";
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "cannot read the ELF file '" + path + "'";
        return std::nullopt;
    }
    return parse(bytes, path, error);
}

}  // namespace tarvel
