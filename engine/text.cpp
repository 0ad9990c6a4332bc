// Text primitives and extraction. FindText is the hot spot of a harvest (every page
// is scanned for the table marker), so candidates come from memchr-based scans and only
// then is the character alignment walked, eight ASCII bytes at a time.
#include "engine/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kelvaro {
namespace {

constexpr std::string_view kTableStart = "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>";  // 相关搜索
constexpr std::string_view kTableEnd = "</table></div>";
constexpr std::string_view kLinkStart = "\">";
constexpr std::string_view kLinkEnd = "</a>";

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }
bool IsAsciiLetter(unsigned char c) { return FoldAscii(c) >= 'a' && FoldAscii(c) <= 'z'; }

bool EqualsAt(const unsigned char* at, std::string_view needle, bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(at, needle.data(), needle.size()) == 0;
  for (size_t i = 0; i < needle.size(); ++i) {
    if (FoldAscii(at[i]) != FoldAscii(static_cast<unsigned char>(needle[i]))) return false;
  }
  return true;
}

// First offset >= from where needle may stand, ignoring character alignment.
size_t NextCandidate(std::string_view text, std::string_view needle, size_t from,
                     bool ignoreCase) {
  const auto* base = reinterpret_cast<const unsigned char*>(text.data());
  const size_t last = text.size() - needle.size();  // caller ensures size >= needle
  if (from > last) return std::string_view::npos;
  const auto first = static_cast<unsigned char>(needle[0]);
  if (!ignoreCase) {
    return text.find(needle, from);
  }
  const bool letter = IsAsciiLetter(first);
  for (size_t p = from; p <= last; ++p) {
    if (letter) {
      if (FoldAscii(base[p]) != FoldAscii(first)) continue;
    } else {
      const void* hit = std::memchr(base + p, first, last - p + 1);
      if (!hit) return std::string_view::npos;
      p = static_cast<const unsigned char*>(hit) - base;
    }
    if (EqualsAt(base + p, needle, true)) return p;
  }
  return std::string_view::npos;
}

// Walks character starts from `cursor` until it reaches or passes `target`.
size_t WalkCharacters(const unsigned char* base, size_t size, size_t cursor, size_t target) {
  while (cursor < target) {
    if (target - cursor >= 8) {
      uint64_t chunk;
      std::memcpy(&chunk, base + cursor, 8);
      if ((chunk & 0x8080808080808080ULL) == 0) {
        cursor += 8;
        continue;
      }
    }
    cursor += base[cursor] >= 0x80 ? 2 : 1;
    if (cursor > size) break;
  }
  return cursor;
}

}  // namespace

TextPos TextLength(std::string_view text) { return static_cast<TextPos>(text.size()); }

std::string LeftText(std::string_view text, TextPos count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, static_cast<size_t>(count)));
}

std::string MidText(std::string_view text, TextPos start, TextPos count) {
  if (start < 1 || start > TextLength(text) || count <= 0) return {};
  return std::string(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
}

TextPos FindText(std::string_view text, std::string_view needle, TextPos start, bool ignoreCase) {
  if (start < 1) start = 1;
  if (start > TextLength(text)) return kNotFound;
  if (needle.empty()) return 1;
  if (needle.size() > text.size()) return kNotFound;

  const auto* base = reinterpret_cast<const unsigned char*>(text.data());
  size_t cursor = static_cast<size_t>(start - 1);  // always a character start
  while (cursor + needle.size() <= text.size()) {
    const size_t candidate = NextCandidate(text, needle, cursor, ignoreCase);
    if (candidate == std::string_view::npos) return kNotFound;
    cursor = WalkCharacters(base, text.size(), cursor, candidate);
    if (cursor == candidate) return static_cast<TextPos>(candidate + 1);
    // The candidate was the second byte of a character: go on from the next start.
  }
  return kNotFound;
}

std::string ExtractBetween(std::string_view text, std::string_view leftMarker,
                           std::string_view rightMarker, bool allMatches,
                           std::vector<std::string>* items) {
  const TextPos whole = TextLength(text);
  if (!allMatches || items == nullptr) {
    if (rightMarker.empty()) {
      if (leftMarker.empty()) return std::string(text);
      const TextPos f = FindText(text, leftMarker);
      if (f == kNotFound) return {};
      return MidText(text, f + TextLength(leftMarker), whole);
    }
    if (leftMarker.empty()) {
      const TextPos r = FindText(text, rightMarker);
      if (r == kNotFound) return {};
      return LeftText(text, r - 1);
    }
    const TextPos f = FindText(text, leftMarker);
    if (f == kNotFound) return {};
    const TextPos restStart = f + TextLength(leftMarker);
    std::string_view rest;
    if (restStart <= whole) rest = text.substr(static_cast<size_t>(restStart - 1));
    const TextPos r = FindText(rest, rightMarker);
    return MidText(rest, 1, r - 1);
  }

  if (leftMarker.empty() || rightMarker.empty()) return {};
  items->clear();
  for (TextPos f = FindText(text, leftMarker, 1, true); f != kNotFound;
       f = FindText(text, leftMarker, f + 1, true)) {
    const TextPos r = FindText(text, rightMarker, f, true);
    const TextPos s = f + TextLength(leftMarker);
    items->push_back(MidText(text, s, r - s));
  }
  return {};
}

std::vector<std::string> ExtractRelatedKeywords(std::string_view page) {
  const std::string segment = ExtractBetween(page, kTableStart, kTableEnd);
  std::vector<std::string> items;
  ExtractBetween(segment, kLinkStart, kLinkEnd, true, &items);
  return items;
}

}  // namespace kelvaro
