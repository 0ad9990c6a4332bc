// Text primitives and extraction. FindText is the hot spot of a harvest (every page
// is scanned for the table marker), so candidates come from a block-wise byte search
// that ignores characters, and only a candidate's alignment is then checked, by looking
// back from it rather than walking every character from the start.
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

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}
bool IsAsciiLetter(unsigned char c) {
  return FoldAscii(c) >= 'a' && FoldAscii(c) <= 'z';
}

bool EqualsAt(const unsigned char* at, std::string_view needle, bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(at, needle.data(), needle.size()) == 0;
  for (size_t i = 0; i < needle.size(); ++i) {
    if (FoldAscii(at[i]) != FoldAscii(static_cast<unsigned char>(needle[i]))) return false;
  }
  return true;
}

// Sixteen bytes at once, with GCC/Clang vector extensions (plain SSE2 on x86-64).
using Block = unsigned char __attribute__((vector_size(16)));

Block Load(const unsigned char* at) {
  Block block;
  std::memcpy(&block, at, sizeof(block));
  return block;
}

Block Splat(unsigned char byte) {
  Block block;
  std::memset(&block, byte, sizeof(block));
  return block;
}

// First offset >= from where the needle's bytes stand, ignoring character alignment.
// Sixteen positions are tested per step for the needle's first and last byte, and only
// positions where both fit are compared whole.
size_t FindBytes(std::string_view text, std::string_view needle, size_t from) {
  const size_t length = needle.size();
  if (length < 2 || text.size() < from + length + 16) return text.find(needle, from);
  const auto* base = reinterpret_cast<const unsigned char*>(text.data());
  const auto* rest = reinterpret_cast<const unsigned char*>(needle.data()) + 1;
  const Block first = Splat(static_cast<unsigned char>(needle.front()));
  const Block last = Splat(static_cast<unsigned char>(needle.back()));
  const size_t end = text.size() - length + 1;  // one past the last possible position
  size_t block = from;
  for (; block + 16 <= end; block += 16) {
    const auto hits = (Load(base + block) == first) & (Load(base + block + length - 1) == last);
    uint64_t halves[2];
    std::memcpy(halves, &hits, sizeof(halves));
    if ((halves[0] | halves[1]) == 0) continue;  // the usual case
    for (size_t lane = 0; lane < 16; ++lane) {
      if (hits[lane] && std::memcmp(base + block + lane + 1, rest, length - 2) == 0) {
        return block + lane;
      }
    }
  }
  return text.find(needle, block);
}

// First offset >= from where needle may stand, letters folded, ignoring alignment.
size_t FindFoldedBytes(std::string_view text, std::string_view needle, size_t from) {
  const auto* base = reinterpret_cast<const unsigned char*>(text.data());
  const size_t last = text.size() - needle.size();  // caller ensures size >= needle
  if (from > last) return std::string_view::npos;
  const auto first = static_cast<unsigned char>(needle[0]);
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

// Whether `p` is a character start when characters are counted from `known`, itself a
// start. A byte below 80 (hex) always ends a character, being either one by itself or
// the second byte of a pair, so the byte after it is a start; from there the bytes of
// 80 and above pair up, and p is a start when an even number of them precede it.
bool IsCharacterStart(const unsigned char* base, size_t known, size_t p) {
  size_t runStart = p;
  while (runStart > known && base[runStart - 1] >= 0x80) --runStart;
  return (p - runStart) % 2 == 0;
}

}  // namespace

TextPos TextLength(std::string_view text) {
  return static_cast<TextPos>(text.size());
}

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
  size_t known = static_cast<size_t>(start - 1);  // always a character start
  for (;;) {
    const size_t candidate =
        ignoreCase ? FindFoldedBytes(text, needle, known) : FindBytes(text, needle, known);
    if (candidate == std::string_view::npos) return kNotFound;
    if (IsCharacterStart(base, known, candidate)) return static_cast<TextPos>(candidate + 1);
    // The candidate was the second byte of a pair: the next byte starts a character.
    known = candidate + 1;
  }
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
