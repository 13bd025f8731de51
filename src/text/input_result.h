// What a reader of input gives back: its value, or what is wrong with the input. Readers return
// errors as values; the programs in src/app turn them into their messages and exit codes.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <variant>

namespace tarvel {

// What is wrong with an input, and where, as far as the reader knows it. A reader that is
// given text rather than a file leaves `file` empty: its caller names the file in the message.
struct input_error {
    std::string file;      // empty: not known to the reader
    std::size_t line = 0;  // 1-based; 0: the error concerns no one line
    std::string what;      // the reason, in words that follow the file's name
};

// The value of a result that carries nothing but success.
struct done {};

// "FILE:LINE: what", "FILE: what", or "what" alone when the file is not known: the way
// compilers and linkers name a place in a file.
std::string located_message(const input_error& error);

// A value of T, or an error of E. It throws nothing: ask `ok()` (or test it as a bool) before
// taking `value()` or `error()`.
template <class T, class E = input_error>
class [[nodiscard]] c_result {
  public:
    c_result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    c_result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return *std::get_if<0>(&state_); }
    const T& value() const& { return *std::get_if<0>(&state_); }
    T&& value() && { return std::move(*std::get_if<0>(&state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const E& error() const { return *std::get_if<1>(&state_); }

  private:
    std::variant<T, E> state_;
};

}  // namespace tarvel
