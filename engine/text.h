// Text primitives on code-page-936 byte strings, and the related-search extraction
// built on them.
//
// Positions are 1-based byte positions and -1 means "not found", so the edges of
// the extraction (straddling double-byte pairs, empty markers, overlapping items)
// come out exactly as the harvest expects. Everything here is a pure function.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelvaro {

using TextPos = std::ptrdiff_t;
inline constexpr TextPos kNotFound = -1;

TextPos TextLength(std::string_view text);
std::string LeftText(std::string_view text, TextPos count);
std::string MidText(std::string_view text, TextPos start, TextPos count);

// Searches from `start` on, stepping by character starts (a byte of 0x80 or more
// begins a two-byte character), so a byte pair that straddles two characters never
// matches. With ignoreCase, ASCII letters fold wherever they stand.
TextPos FindText(std::string_view text, std::string_view needle, TextPos start = 1,
                 bool ignoreCase = false);

// Single mode (items == nullptr or allMatches false): the stretch between the first
// leftMarker and the first rightMarker after it. All-matches mode: one item per
// occurrence of leftMarker, letters folded; items is replaced (left alone when a
// marker is empty). The text result of all-matches mode is the empty text.
std::string ExtractBetween(std::string_view text, std::string_view leftMarker,
                           std::string_view rightMarker, bool allMatches = false,
                           std::vector<std::string>* items = nullptr);

// The link texts of the related-search table of a result page, in page order,
// repeats and empty items included.
std::vector<std::string> ExtractRelatedKeywords(std::string_view page);

}  // namespace kelvaro
