#include "text/input_result.h"

namespace tarvel {

std::string located_message(const input_error& error) {
    if (error.file.empty()) {
        return error.what;
    }
    std::string text = error.file;
    if (error.line > 0) {
        text += ':';
        text += std::to_string(error.line);
    }
    text += ": ";
    text += error.what;
    return text;
}

}  // namespace tarvel
