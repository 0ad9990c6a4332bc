// Reading settings-box texts as whole numbers; see edit_number.h.
#include "engine/edit_number.h"

#include <algorithm>
#include <limits>

namespace kelvaro {
namespace {

bool IsBlank(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Replaces the CP936 full-width forms of ASCII characters by the ASCII ones.
// Walks by characters (a byte of 0x80 or more starts a two-byte character), so a
// trail byte is never mistaken for the start of a full-width form.
std::string FoldFullWidth(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80 || i + 1 == text.size()) {
      folded += text[i];
      continue;
    }
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      folded += static_cast<char>(trail - 0x80);
    } else if (lead == 0xA1 && trail == 0xA1) {  // ideographic space
      folded += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {  // wave dash
      folded += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {  // stars
      folded += '*';
    } else {
      folded += text.substr(i, 2);
    }
    ++i;
  }
  return folded;
}

// Leading blanks, one optional sign, digits up to the first non-digit; the value
// saturates at the 64-bit limits instead of overflowing.
int64_t ReadInteger64(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate as a negative number: its range reaches INT64_MIN.
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  int64_t value = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (saturated || value < (kMin + digit) / 10) {
      saturated = true;
      continue;
    }
    value = value * 10 - digit;
  }
  if (saturated) return negative ? kMin : std::numeric_limits<int64_t>::max();
  if (negative) return value;
  return value == kMin ? std::numeric_limits<int64_t>::max() : -value;
}

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t ReadEditInteger(std::string_view cp936) {
  return ClampToInt32(ReadInteger64(FoldFullWidth(cp936)));
}

std::string NormaliseEditText(std::string_view text) {
  const int32_t value = ClampToInt32(ReadInteger64(text));
  return value == 0 ? std::string() : std::to_string(value);
}

}  // namespace kelvaro
