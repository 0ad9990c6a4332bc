// How the two settings boxes' texts are read as whole numbers.
//
// Both boxes hold CP936 text that the user may have typed with a Chinese input
// method, so the start of a harvest first folds the full-width forms of ASCII to
// ASCII before reading; the box's own lose-focus normalisation reads the raw text.
// Both read like strtol: leading white space, one optional sign, then digits up to
// the first non-digit, and 0 when no digit follows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvaro {

// The value of a settings box's text as the start of a harvest reads it.
// Values beyond the 32-bit range are clamped to INT32_MIN / INT32_MAX rather than
// wrapped, so a huge depth still means "very deep" and a huge negative one "none".
int32_t ReadEditInteger(std::string_view cp936);

// The text a settings box is given when it loses the keyboard focus: the text read
// as a 64-bit signed number (saturating when the digits do not fit in 64 bits),
// clamped to the 32-bit range and written in plain decimal; 0 is the empty text.
std::string NormaliseEditText(std::string_view text);

}  // namespace kelvaro
