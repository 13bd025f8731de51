#include "app/elf_input.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/platform.h"

namespace tarvel {

namespace {
c_result<elf::elf_image, std::string> parse(std::span<const std::uint8_t> bytes,
                                            const std::string& path) {
    c_result<elf::elf_image, elf::elf_error> image = elf::read_elf(bytes);
    if (!image) {
        return "the ELF file '" + path + "' is damaged: " + elf::describe(image.error());
    }
    return std::move(image).value();
}
}  // namespace

c_result<elf::elf_image, std::string> read_elf_file(const std::string& path) {
    // A regular file is mapped: of its contents and debugging sections, often larger than the
    // map, only the pages that hold the headers are read.
    const platform::c_mapped_file mapped(path);
    if (mapped.is_open()) {
        return parse(mapped.bytes(), path);
    }
    // Anything else that can be read (a pipe) is read whole.
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        return "cannot read the ELF file '" + path + "'";
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    if (file.bad()) {
        return "cannot read the ELF file '" + path + "'";
    }
    return parse(bytes, path);
}

}  // namespace tarvel
