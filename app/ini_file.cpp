#include "app/ini_file.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/file_io.h"

namespace kelvaro {
namespace {

// Lines we add end like the system's own INI writer ends them.
constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(unsigned char byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r') || byte == 0x1A;
}

// A CP936 lead byte: it and the byte after it are one character, whose second byte may
// look like an ASCII letter or bracket and must never be read as one.
bool IsLeadByte(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::string_view SkipControlPrefix(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) >= 0x01 &&
         static_cast<unsigned char>(text.front()) <= 0x20) {
    text.remove_prefix(1);
  }
  return text;
}

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal whatever the case of ASCII letters; double-byte characters compare exactly.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

// The position of the last ']' that is a character of its own, or npos.
size_t FindClosingBracket(std::string_view text) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;
    } else if (text[i] == ']') {
      found = i;
    }
  }
  return found;
}

// The first `limit` bytes at most, without splitting a double-byte character.
std::string CutToCharacters(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t step =
        (IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size()) ? 2 : 1;
    if (end + step > limit) break;
    end += step;
  }
  return std::string(text.substr(0, end));
}

struct Line {
  std::string_view text;  // without its line end
  std::string_view end;   // "\r\n", "\n" or "" for a last line without one
};

// Lines end at LF; a CR before it belongs to the line end. Every byte of the file is in
// exactly one line's text or end, so the lines put together give the file back.
std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  while (!content.empty()) {
    const size_t lf = content.find('\n');
    if (lf == std::string_view::npos) {
      lines.push_back({content, {}});
      break;
    }
    const size_t textEnd = (lf > 0 && content[lf - 1] == '\r') ? lf - 1 : lf;
    lines.push_back({content.substr(0, textEnd), content.substr(textEnd, lf + 1 - textEnd)});
    content.remove_prefix(lf + 1);
  }
  return lines;
}

enum class LineKind { Empty, Section, Entry };

struct ParsedLine {
  LineKind kind = LineKind::Empty;
  std::string_view name;   // the section's or the key's name, trimmed
  std::string_view value;  // an entry's value, trimmed
};

ParsedLine ParseLine(std::string_view text) {
  text = TrimBlanks(text);
  if (text.empty()) return {};
  if (text.front() == '[') {
    const size_t close = FindClosingBracket(text);
    if (close != std::string_view::npos) {
      return {LineKind::Section, TrimBlanks(text.substr(1, close - 1)), {}};
    }
  }
  const size_t equals = text.find('=');  // '=' is never the second byte of a character
  if (equals == std::string_view::npos) return {LineKind::Entry, text, {}};
  return {LineKind::Entry, TrimBlanks(text.substr(0, equals)), TrimBlanks(text.substr(equals + 1))};
}

// Where a key stands in the file's lines.
struct Location {
  std::optional<size_t> section;  // the section's header line
  std::optional<size_t> entry;    // the key's line
  size_t sectionEnd = 0;          // one past the section's last non-empty line
};

Location Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location location;
  for (size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = ParseLine(lines[i].text);
    if (!location.section) {
      if (parsed.kind == LineKind::Section && SameName(parsed.name, section)) {
        location.section = i;
        location.sectionEnd = i + 1;
      }
      continue;
    }
    if (parsed.kind == LineKind::Section) break;
    if (parsed.kind == LineKind::Empty) continue;
    location.sectionEnd = i + 1;
    if (parsed.kind == LineKind::Entry && SameName(parsed.name, key)) {
      location.entry = i;
      return location;
    }
  }
  return location;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return content;
}

// The whole new content replaces the file in one step (see platform/file_io.h), so a
// program that dies while writing leaves the earlier file as it was.
bool ReplaceFile(const std::filesystem::path& file, const std::string& content) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (std::filesystem::exists(status) &&
      (status.permissions() & std::filesystem::perms::owner_write) ==
          std::filesystem::perms::none) {
    return false;  // a read-only file stays as it is
  }
  return WriteWholeFile(file, content);
}

}  // namespace

std::string ReadIniText(const std::filesystem::path& file, const std::string& section,
                        const std::string& key, const std::string& fallback) {
  const std::string_view sectionName = TrimBlanks(SkipControlPrefix(section));
  const std::string_view keyName = TrimBlanks(SkipControlPrefix(key));
  if (file.empty() || sectionName.empty() || keyName.empty()) return {};

  // The system's read drops the default's trailing blanks as well.
  std::string_view fallbackText = fallback;
  while (!fallbackText.empty() && IsBlank(static_cast<unsigned char>(fallbackText.back()))) {
    fallbackText.remove_suffix(1);
  }
  const std::optional<std::string> content = ReadFileBytes(file);
  if (!content) return CutToCharacters(fallbackText, kMaxIniValueBytes);

  const std::vector<Line> lines = SplitLines(*content);
  const Location location = Find(lines, sectionName, keyName);
  if (!location.entry) return CutToCharacters(fallbackText, kMaxIniValueBytes);

  std::string_view value = ParseLine(lines[*location.entry].text).value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return CutToCharacters(value, kMaxIniValueBytes);
}

bool WriteIniText(const std::filesystem::path& file, const std::string& section,
                  const std::string& key, const std::string& value) {
  const std::string_view sectionName = TrimBlanks(SkipControlPrefix(section));
  const std::string_view keyName = TrimBlanks(SkipControlPrefix(key));
  if (file.empty() || sectionName.empty() || keyName.empty()) return false;

  std::string content;
  std::error_code error;
  if (std::filesystem::exists(file, error)) {
    std::optional<std::string> existing = ReadFileBytes(file);
    if (!existing) return false;  // never replace a file we could not read
    content = std::move(*existing);
  }

  std::string entryLine(keyName);
  entryLine += '=';
  entryLine += value;

  const std::vector<Line> lines = SplitLines(content);
  const Location location = Find(lines, sectionName, keyName);

  // The new content is the old lines with one line replaced, or new lines inserted
  // after a given line; every other byte is copied as it was.
  std::string updated;
  updated.reserve(content.size() + entryLine.size() + sectionName.size() + 8);
  auto appendLine = [&](size_t i) {
    updated += lines[i].text;
    updated += lines[i].end;
  };
  auto appendInsertion = [&](size_t after, const std::string& insertion) {
    // `after` is the line the insertion follows; a last line without a line end gets one.
    if (after < lines.size() && lines[after].end.empty()) updated += kLineEnd;
    updated += insertion;
  };

  if (location.entry) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i == *location.entry) {
        updated += entryLine;
        updated += lines[i].end;
      } else {
        appendLine(i);
      }
    }
  } else if (location.section) {
    const size_t after = location.sectionEnd - 1;
    for (size_t i = 0; i < lines.size(); ++i) {
      appendLine(i);
      if (i == after) appendInsertion(i, entryLine + std::string(kLineEnd));
    }
  } else {
    for (size_t i = 0; i < lines.size(); ++i) appendLine(i);
    std::string insertion = "[" + std::string(sectionName) + "]" + std::string(kLineEnd);
    insertion += entryLine + std::string(kLineEnd);
    if (lines.empty()) {
      updated += insertion;
    } else {
      appendInsertion(lines.size() - 1, insertion);
    }
  }

  if (updated == content) return true;  // nothing to change: leave the file untouched
  return ReplaceFile(file, updated);
}

}  // namespace kelvaro
