// Taking keyword files saved as UTF-8: a strict validator that also notices CJK
// characters, and the conversions through the platform's code pages.
#include "lists/keyword_file_encoding.h"

#include "platform/code_page.h"

namespace kelvaro {
namespace {

// Ideographs, their radicals and punctuation, kana, bopomofo and the full-width forms:
// what a Chinese keyword file holds and what accidental UTF-8 made of CP936 pairs
// (Latin-1 to Greek, Cyrillic and the like) does not.
bool IsCjk(char32_t c) {
  return (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x3000 && c <= 0x33FF) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Decodes the whole text as UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF). False at the first malformed sequence; `hasCjk` tells whether any
// character decoded so far was CJK.
bool DecodesAsUtf8(std::string_view text, bool& hasCjk) {
  hasCjk = false;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    char32_t c;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, c = lead & 0x07, minimum = 0x10000;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto trail = static_cast<unsigned char>(text[i + k]);
      if ((trail & 0xC0) != 0x80) return false;
      c = (c << 6) | (trail & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    hasCjk = hasCjk || IsCjk(c);
    i += length;
  }
  return true;
}

}  // namespace

bool LooksLikeUtf8KeywordText(std::string_view text) {
  if (text.starts_with(kUtf8ByteOrderMark)) return true;
  bool hasCjk = false;
  return DecodesAsUtf8(text, hasCjk) && hasCjk;
}

std::string KeywordTextToCp936(std::string_view text, KeywordFileEncoding encoding) {
  const bool utf8 = encoding == KeywordFileEncoding::Utf8 ||
                    (encoding == KeywordFileEncoding::Detect && LooksLikeUtf8KeywordText(text));
  if (!utf8) return std::string(text);
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  return WideToAnsi(Utf8ToWide(text));
}

std::string KeywordTextFromCp936(std::string_view text, KeywordFileEncoding encoding) {
  if (encoding != KeywordFileEncoding::Utf8) return std::string(text);
  return WideToUtf8(AnsiToWide(text));
}

}  // namespace kelvaro
