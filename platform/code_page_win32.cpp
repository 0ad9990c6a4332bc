// Windows: the conversions through MultiByteToWideChar and WideCharToMultiByte.
//
// With no flags these never fail on bad input: malformed UTF-8 becomes U+FFFD and a
// character that code page 936 lacks becomes the system's default character "?".
// The calls take int lengths, so longer input goes through in pieces cut where no
// character is split.
#include <windows.h>

#include <climits>

#include "platform/code_page.h"

namespace kelvaro {
namespace {

constexpr UINT kCp936 = 936;
constexpr size_t kPiece = size_t{1} << 30;

// Where a piece of at most kPiece units may end without splitting a character.
size_t Utf8PieceEnd(std::string_view text) {
  if (text.size() <= kPiece) return text.size();
  size_t end = kPiece;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return end;
}
size_t WidePieceEnd(std::u16string_view text) {
  if (text.size() <= kPiece) return text.size();
  const char16_t unit = text[kPiece];
  return unit >= 0xDC00 && unit <= 0xDFFF ? kPiece - 1 : kPiece;
}
// No CP936 trail byte is below 40 (hex), so the byte after one is a character start.
size_t AnsiPieceEnd(std::string_view text) {
  if (text.size() <= kPiece) return text.size();
  size_t end = kPiece;
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) >= 0x40) --end;
  return end > 0 ? end : kPiece;
}

std::u16string ToWide(UINT codePage, std::string_view text, size_t (*pieceEnd)(std::string_view)) {
  std::u16string wide;
  while (!text.empty()) {
    const size_t take = pieceEnd(text);
    const int length = static_cast<int>(take);
    const int units = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (units > 0) {
      const size_t old = wide.size();
      wide.resize(old + static_cast<size_t>(units));
      MultiByteToWideChar(codePage, 0, text.data(), length, reinterpret_cast<wchar_t*>(&wide[old]),
                          units);
    }
    text.remove_prefix(take);
  }
  return wide;
}

std::string FromWide(UINT codePage, std::u16string_view wide) {
  std::string text;
  while (!wide.empty()) {
    const size_t take = WidePieceEnd(wide);
    const auto* units = reinterpret_cast<const wchar_t*>(wide.data());
    const int length = static_cast<int>(take);
    const int bytes = WideCharToMultiByte(codePage, 0, units, length, nullptr, 0, nullptr, nullptr);
    if (bytes > 0) {
      const size_t old = text.size();
      text.resize(old + static_cast<size_t>(bytes));
      WideCharToMultiByte(codePage, 0, units, length, &text[old], bytes, nullptr, nullptr);
    }
    wide.remove_prefix(take);
  }
  return text;
}

}  // namespace

std::u16string Utf8ToWide(std::string_view utf8) {
  return ToWide(CP_UTF8, utf8, Utf8PieceEnd);
}
std::string WideToAnsi(std::u16string_view wide) {
  return FromWide(kCp936, wide);
}
std::u16string AnsiToWide(std::string_view cp936) {
  return ToWide(kCp936, cp936, AnsiPieceEnd);
}
std::string WideToUtf8(std::u16string_view wide) {
  return FromWide(CP_UTF8, wide);
}

}  // namespace kelvaro
