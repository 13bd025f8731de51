// Numbers and tokens as the Arm, IAR and TI linkers print them in their maps: hexadecimal
// with or without "0x", digits grouped with "'" ("0x800'0188", "1'668"), white-space columns.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel::vendor {

// Hexadecimal: an optional "0x"/"0X", then digits, which "'" may group. At most 16
// significant digits; false for anything else, an empty run of digits included.
bool read_hex(std::string_view token, std::uint64_t& value);

// `read_hex` of a value that fits 32 bits: an address or size of a 32-bit target.
bool read_hex32(std::string_view token, std::uint32_t& value);

// Decimal digits, which "'" may group; false for anything else or a value beyond 64 bits.
bool read_decimal(std::string_view token, std::uint64_t& value);

// The white-space separated tokens of a line.
std::vector<std::string_view> tokens_of(std::string_view line);

// The first decimal figure of `text`, which may be grouped with "'", "," or single blanks
// between groups of three digits ("5'831", "6 740", "1,234"); false when none stands there.
bool first_grouped_decimal(std::string_view text, std::uint64_t& value);

// The parts one after the other, for the messages that name a figure of the map.
std::string joined(std::initializer_list<std::string_view> parts);

}  // namespace tarvel::vendor
