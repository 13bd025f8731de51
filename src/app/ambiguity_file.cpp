#include "app/ambiguity_file.h"

#include "report/ambiguity_report.h"

namespace tarvel {

void c_ambiguity_file::take(std::string_view name, const std::string& search,
                            const std::string& earlier_search) {
    if (!file_) {
        file_ = std::make_unique<c_output_file>(path_);
        if (file_->opened()) {
            writer_.emplace(file_->stream());
        }
    }
    if (writer_) {
        write_ambiguity_line(*writer_, name, search, earlier_search);
    }
}

output_result c_ambiguity_file::commit() {
    if (!file_) {
        return done{};
    }
    writer_.reset();  // hands the rest to the file
    return file_->commit();
}

}  // namespace tarvel
