// A streaming JSON writer: objects, arrays, strings and numbers written straight to a stream,
// with commas and escapes taken care of.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

// Writes compact JSON, one value after another, as the calls come; `key` names the next value
// inside an object. Strings are written as valid UTF-8 whatever bytes they hold: a map file may
// hold names in another encoding, and a byte that is no part of valid UTF-8 becomes U+FFFD.
class c_json_writer {
  public:
    explicit c_json_writer(std::ostream& out) : out_(out) {}

    c_json_writer& begin_object();
    c_json_writer& end_object();
    c_json_writer& begin_array();
    c_json_writer& end_array();
    c_json_writer& key(std::string_view name);

    c_json_writer& value(std::string_view text);
    c_json_writer& value(const char* text) { return value(std::string_view(text)); }
    c_json_writer& value(std::int64_t number);
    c_json_writer& value(std::uint64_t number);
    c_json_writer& value(std::uint32_t number) { return value(std::uint64_t{number}); }
    c_json_writer& value(int number) { return value(std::int64_t{number}); }
    c_json_writer& value(bool flag);
    c_json_writer& null();
    // A number with one decimal, as the reports print percentages ("79.5").
    c_json_writer& one_decimal(double number);
    // Text that is already a JSON value.
    c_json_writer& raw(std::string_view json);

    // The JSON string literal of `text`, quotes included.
    static std::string quoted(std::string_view text);

  private:
    void separate();

    std::ostream& out_;
    std::vector<bool> first_;  // per open container: no value written yet
    bool after_key_ = false;
};

// Appends the JSON string literal of `text`, quotes included, to `out`.
void append_json_string(std::string& out, std::string_view text);

}  // namespace tarvel
