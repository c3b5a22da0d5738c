#pragma once
#include <charconv>

namespace korvane {

// std::from_chars for a double (chars_format::general), of our own: some C++
// libraries, WebAssembly's among them, have none, and every build must read
// settings and weights alike. It takes what from_chars takes and nothing
// else: an optional '-', then "inf", "infinity" or "nan" (any case, "nan"
// with an optional "(letters, digits, _)"), or digits with an optional point
// and an optional exponent that is only taken when digits follow it. The
// value is rounded to nearest, ties to even. A value that rounds to infinity,
// or to zero from nonzero digits, gives result_out_of_range and leaves value
// as it was; so does text that is no number, with invalid_argument and ptr
// at first.
std::from_chars_result ReadDouble(const char* first, const char* last, double& value);

}  // namespace korvane
