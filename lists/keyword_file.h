// The keyword text file: one keyword per line, lines ended by CR LF, CP936 bytes.
//
// The import and the export of the lists and the command-line front end share these
// routines. The line-by-line pieces (KeywordFileText, SplitText, IsKeywordLine,
// AppendKeywordLine) are exposed as well as the whole-file ParseKeywordFile and
// FormatKeywordFile, because the window's commands must let the window process its
// events after every line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lists/keyword_file_encoding.h"

namespace kelvaro {

inline constexpr std::string_view kLineEnd = "\r\n";

// The bytes before the first NUL, or all of them when there is none.
std::string BytesToText(std::string_view bytes);
// The text's bytes, without a terminator.
std::string TextToBytes(std::string_view text);

// The pieces between occurrences of `separator`, walking character by character: a
// byte of 0x80 or more begins a two-byte character whose second byte is never taken
// as the start of a separator. Two separators in a row give an empty piece; a
// separator at the very end gives no empty piece after it; the empty text gives none.
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);

// The text without its leading spaces (20) and ideographic spaces (A1 A1), in any mix.
// Tabs, CR and LF are not blanks.
std::string_view TrimLeadingBlanks(std::string_view text);

// Whether an imported line becomes a keyword: it holds more than blanks. A line that
// is taken is taken unchanged, blanks and all.
bool IsKeywordLine(std::string_view line);

// The text of a keyword file's bytes: up to the first NUL, converted from UTF-8 when
// the encoding says so (see keyword_file_encoding.h).
std::string KeywordFileText(std::string_view bytes,
                            KeywordFileEncoding encoding = KeywordFileEncoding::Detect);

// Appends one keyword as a line of the file's text.
void AppendKeywordLine(std::string& text, std::string_view keyword);

// The keywords a file's bytes hold, in file order.
std::vector<std::string> ParseKeywordFile(
    std::string_view bytes, KeywordFileEncoding encoding = KeywordFileEncoding::Detect);

// The bytes of a file holding the keywords, each ended by CR LF; no keywords give no
// bytes. Written as CP936 unless the encoding is Utf8.
std::string FormatKeywordFile(const std::vector<std::string>& keywords,
                              KeywordFileEncoding encoding = KeywordFileEncoding::Cp936);

}  // namespace kelvaro
