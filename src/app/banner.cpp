#include "app/banner.h"

#include <iostream>

#include "platform/platform.h"

namespace tarvel {

const std::string& build_date() {
    static const std::string date = __DATE__;
    return date;
}

void print_banner(const std::string& program_path, bool print, std::string* out_text) {
    const platform::version_info info = platform::read_version_info(program_path);
    if (!info.available) {
        return;
    }
    // Only the major and minor numbers of the file version are shown.
    const std::string version = std::to_string(info.file_version_ms >> 16) + "." +
                                std::to_string(info.file_version_ms & 0xFFFFu);
    const std::string text = info.original_filename + " version " + version + " from " +
                             build_date() + "\n" + info.legal_copyright + "\n";
    if (print) {
        std::cout << text << std::endl;
    }
    if (out_text != nullptr) {
        *out_text = text;
    }
}

}  // namespace tarvel
