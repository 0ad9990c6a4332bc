// Which encoding a keyword file is read or written in.
//
// The lists hold CP936 text and the file format is CP936, but a file saved by today's
// editors (Notepad included) is usually UTF-8; read byte for byte, every Chinese
// keyword in it would turn to garbage. So a file is taken as UTF-8 when it starts with
// a UTF-8 byte-order mark, or when all of it is valid UTF-8 and holds CJK characters.
// The second test needs the CJK characters: short CP936 texts can be valid UTF-8 by
// accident (学习 is D1 A7 CF B0, which decodes to U+0467 U+03F0), and must stay as
// they are.
#pragma once

#include <string>
#include <string_view>

namespace kelvaro {

enum class KeywordFileEncoding {
  Detect,  // reading: UTF-8 when it looks like it, CP936 bytes otherwise
  Cp936,   // the bytes as they are
  Utf8,    // UTF-8, with or without a byte-order mark
};

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Whether Detect takes the text as UTF-8.
bool LooksLikeUtf8KeywordText(std::string_view text);

// A file's text (already cut at its first NUL) as CP936: converted from UTF-8 with
// the byte-order mark dropped when the encoding asks for it or Detect finds it;
// characters CP936 lacks become substitutes. Otherwise the bytes unchanged.
std::string KeywordTextToCp936(std::string_view text, KeywordFileEncoding encoding);

// CP936 text as the file's bytes: converted to UTF-8 (no byte-order mark) for Utf8,
// unchanged otherwise.
std::string KeywordTextFromCp936(std::string_view text, KeywordFileEncoding encoding);

}  // namespace kelvaro
