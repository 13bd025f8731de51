// What the first lines of a map show of one format. Each format's evidence stands beside its
// reader; format detection feeds every line to the evidence of every format it knows.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvel {

class c_format_evidence {
  public:
    virtual ~c_format_evidence() = default;

    // Looks at line `number` (counted from 1). True when the line proves the format, such as a
    // heading that only this format writes: detection then stops.
    virtual bool proves(std::size_t number, std::string_view line) = 0;

    // After the last line, when no line proved a format: how strongly the lines point to this
    // one, 0 for not at all. Where several formats read one layout, the one whose signs are
    // rarer ranks higher.
    virtual int strength() const { return 0; }
};

// Evidence by one line alone: `test(number, line)` proves the format.
template <typename Test>
class c_line_evidence : public c_format_evidence {
  public:
    explicit c_line_evidence(Test test) : test_(test) {}
    bool proves(std::size_t number, std::string_view line) override { return test_(number, line); }

  private:
    Test test_;
};

}  // namespace tarvel
