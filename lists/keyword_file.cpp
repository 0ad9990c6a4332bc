// The keyword text file's line rules, as the import and the export apply them.
#include "lists/keyword_file.h"

namespace kelvaro {
namespace {

constexpr std::string_view kIdeographicSpace = "\xA1\xA1";  // 　

bool IsLeadByte(char byte) {
  return static_cast<unsigned char>(byte) >= 0x80;
}

}  // namespace

std::string BytesToText(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string TextToBytes(std::string_view text) {
  return std::string(text);
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) return {std::string(text)};
  size_t start = 0;
  size_t position = 0;
  while (text.size() - position >= separator.size()) {
    if (text.compare(position, separator.size(), separator) == 0) {
      pieces.emplace_back(text.substr(start, position - start));
      position += separator.size();
      start = position;
    } else if (IsLeadByte(text[position])) {
      if (position + 1 == text.size()) break;
      position += 2;
    } else {
      ++position;
    }
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  for (;;) {
    if (text.starts_with(' ')) {
      text.remove_prefix(1);
    } else if (text.starts_with(kIdeographicSpace)) {
      text.remove_prefix(kIdeographicSpace.size());
    } else {
      return text;
    }
  }
}

bool IsKeywordLine(std::string_view line) {
  return !TrimLeadingBlanks(line).empty();
}

std::string KeywordFileText(std::string_view bytes, KeywordFileEncoding encoding) {
  return KeywordTextToCp936(BytesToText(bytes), encoding);
}

void AppendKeywordLine(std::string& text, std::string_view keyword) {
  text += keyword;
  text += kLineEnd;
}

std::vector<std::string> ParseKeywordFile(std::string_view bytes, KeywordFileEncoding encoding) {
  std::vector<std::string> keywords;
  for (std::string& line : SplitText(KeywordFileText(bytes, encoding), kLineEnd)) {
    if (IsKeywordLine(line)) keywords.push_back(std::move(line));
  }
  return keywords;
}

std::string FormatKeywordFile(const std::vector<std::string>& keywords,
                              KeywordFileEncoding encoding) {
  std::string text;
  for (const std::string& keyword : keywords) AppendKeywordLine(text, keyword);
  return KeywordTextFromCp936(TextToBytes(text), encoding);
}

}  // namespace kelvaro
