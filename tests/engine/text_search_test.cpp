// FindText on texts long enough for its block-wise search, against the plain search by
// character starts: every candidate position, alignment from any start, both cases.
#include <gtest/gtest.h>

#include <random>

#include "engine/text.h"

namespace kelvaro {
namespace {

unsigned char Fold(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// The search as the rules state it: compare at p, then step one byte, or two from a
// byte of 80 (hex) or above.
TextPos PlainFindText(std::string_view text, std::string_view needle, TextPos start,
                      bool ignoreCase) {
  if (start < 1) start = 1;
  if (start > TextLength(text)) return kNotFound;
  if (needle.empty()) return 1;
  for (size_t p = static_cast<size_t>(start - 1); p + needle.size() <= text.size();) {
    bool equal = true;
    for (size_t i = 0; i < needle.size() && equal; ++i) {
      const auto a = static_cast<unsigned char>(text[p + i]);
      const auto b = static_cast<unsigned char>(needle[i]);
      equal = ignoreCase ? Fold(a) == Fold(b) : a == b;
    }
    if (equal) return static_cast<TextPos>(p + 1);
    p += static_cast<unsigned char>(text[p]) >= 0x80 ? 2 : 1;
  }
  return kNotFound;
}

TEST(TextSearch, LongTextsAgreeWithThePlainSearch) {
  // Few distinct bytes, so matches, near-misses and pairs that straddle characters
  // (D6 D0 D6 D0 holds D0 D6) are frequent.
  const unsigned char alphabet[] = {'a', 'A', '<', '>', 0x66, 0x80, 0xCF, 0xD0, 0xD5, 0xD6};
  std::mt19937 random(936);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 200, '\0');
    for (char& c : text) c = static_cast<char>(alphabet[random() % sizeof(alphabet)]);
    std::string needle;
    if (text.size() > 8 && random() % 2 == 0) {  // a needle cut from the text itself
      needle = text.substr(random() % (text.size() - 8), 1 + random() % 8);
    } else {
      needle.resize(1 + random() % 6);
      for (char& c : needle) c = static_cast<char>(alphabet[random() % sizeof(alphabet)]);
    }
    const TextPos start = static_cast<TextPos>(random() % (text.size() + 2));
    const bool ignoreCase = random() % 2 == 0;
    ASSERT_EQ(FindText(text, needle, start, ignoreCase),
              PlainFindText(text, needle, start, ignoreCase))
        << "round " << round << " start " << start << " ignoreCase " << ignoreCase;
  }
}

TEST(TextSearch, MarkerStraddlingALongRunOfDoubleByteCharacters) {
  // 中 (D6 D0) 2000 times: "D0 D6 D0 </th>" stands at the end, but on a trail byte, unless
  // the search starts on a trail byte and so pairs the bytes the other way.
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "\xD6\xD0";
  text += "</th>";
  const std::string marker = "\xD0\xD6\xD0</th>";
  EXPECT_EQ(FindText(text, marker), kNotFound);
  EXPECT_EQ(FindText(text, marker, 2), 3998);
  EXPECT_EQ(FindText("x" + text, marker), kNotFound);
}

}  // namespace
}  // namespace kelvaro
