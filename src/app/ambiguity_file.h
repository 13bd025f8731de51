// The ambiguity file of a `tarvel` run, written while the entries are accounted.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/ambiguity_sink.h"
#include "app/output_file.h"
#include "text/buffered_writer.h"

namespace tarvel {

// Takes the ambiguities as the accounting finds them and writes each as a line of the file
// at `path`, through a c_output_file: nothing replaces the target before `commit`. The file is
// opened with the first ambiguity, so a run without any leaves an existing file alone.
class c_ambiguity_file : public c_ambiguity_sink {
  public:
    explicit c_ambiguity_file(std::string path) : path_(std::move(path)) {}

    void take(std::string_view name, const std::string& search,
              const std::string& earlier_search) override;

    // Puts the written file in the target's place; the error says why it could not be written.
    // Without an ambiguity there is nothing to put, and an existing file stays as it is.
    output_result commit();

  private:
    std::string path_;
    std::unique_ptr<c_output_file> file_;
    std::optional<c_buffered_writer> writer_;
};

}  // namespace tarvel
