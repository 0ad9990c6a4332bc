// The code-page conversions: exact results for well-formed text, and substitutes, never a
// stop, for malformed or unmappable input.
#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

TEST(CodePage, Utf8ToWide) {
  struct Case {
    std::string utf8;
    std::u16string wide;
  } cases[] = {
      {"", u""},
      {"plain <b>ascii</b>", u"plain <b>ascii</b>"},
      {"\xE4\xB8\xAD\xE6\x96\x87", u"\u4E2D\u6587"},  // 中文
      {"a\xF0\x9F\x98\x80z", u"a\U0001F600z"},        // outside the BMP: a surrogate pair
      {"a\xFF"
       "b",
       u"a\uFFFDb"},  // a byte that never starts UTF-8
      {"a\x80"
       "b",
       u"a\uFFFDb"},                                            // a stray continuation byte
      {"\xE4\xB8\xAD\xFF\xE6\x96\x87", u"\u4E2D\uFFFD\u6587"},  // bad byte between characters
      {"ab\xE4", u"ab\uFFFD"},                                  // cut at the end
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.utf8), c.wide) << c.utf8;
}

TEST(CodePage, TruncatedUtf8KeepsWhatFollows) {
  // How many substitutes stand for a cut character differs between converters; the
  // text around it must survive.
  const std::u16string wide = Utf8ToWide(
      "a\xE4\xB8"
      "b\xC0\xAF"
      "c");
  ASSERT_GE(wide.size(), 5u);
  EXPECT_EQ(wide.front(), u'a');
  EXPECT_EQ(wide.back(), u'c');
  EXPECT_NE(wide.find(u'b'), std::u16string::npos);
  EXPECT_EQ(wide.find_first_not_of(u"ab\uFFFDc"), std::u16string::npos);
}

TEST(CodePage, WideToAnsi) {
  struct Case {
    std::u16string wide;
    std::string cp936;
  } cases[] = {
      {u"", ""},
      {u"ascii", "ascii"},
      {u"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"},  // 中文
      {u"\u8AAAf",
       "\xD5\x66"
       "f"},                 // 說: its trail byte is 'f'
      {u"\u20AC", "\x80"},   // the euro has one byte
      {u"a\u0E01b", "a?b"},  // Thai: not in the code page
      {u"a\uFFFDb", "a?b"},  // the substitute of bad UTF-8
  };
  for (const auto& c : cases) EXPECT_EQ(WideToAnsi(c.wide), c.cp936);
}

TEST(CodePage, CharactersOutsideTheBmpBecomeSubstitutes) {
  // One "?" or one per surrogate, depending on the converter; nothing else is lost.
  for (const std::u16string& wide : {std::u16string(u"a\U0001F600b"), std::u16string(u"a\xD800"
                                                                                     u"b")}) {
    const std::string text = WideToAnsi(wide);
    EXPECT_TRUE(text == "a?b" || text == "a??b") << text;
  }
}

TEST(CodePage, AnsiAndUtf8BackAndForth) {
  struct Case {
    std::string cp936;
    std::u16string wide;
    std::string utf8;
  } cases[] = {
      {"", u"", ""},
      {"C++ 2010", u"C++ 2010", "C++ 2010"},
      {"\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7", u"\u76F8\u5173\u641C\u7D22",  // 相关搜索
       "\xE7\x9B\xB8\xE5\x85\xB3\xE6\x90\x9C\xE7\xB4\xA2"},
      {"\xD5\x66\xD5\x40z", u"\u8AAA\u8A81z", "\xE8\xAA\xAA\xE8\xAA\x81z"},  // 說誁: ASCII trails
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiToWide(c.cp936), c.wide) << c.cp936;
    EXPECT_EQ(WideToAnsi(c.wide), c.cp936);
    EXPECT_EQ(WideToUtf8(c.wide), c.utf8);
    EXPECT_EQ(Utf8ToWide(c.utf8), c.wide);
  }
}

TEST(CodePage, EveryCharacterOfOneLeadByteSurvivesTheRoundTrip) {
  // Lead byte D5 with every trail byte, many of them ASCII letters and digits, so a
  // conversion that splits text at ASCII bytes would tear these characters apart.
  std::string all;
  for (int trail = 0x40; trail <= 0xFE; ++trail) {
    if (trail == 0x7F) continue;
    all += '\xD5';
    all += static_cast<char>(trail);
    all += ' ';
  }
  const std::u16string wide = AnsiToWide(all);
  EXPECT_EQ(wide.size(), all.size() / 3 * 2);
  EXPECT_EQ(wide.find(u'\uFFFD'), std::u16string::npos);
  EXPECT_EQ(WideToAnsi(wide), all);
  EXPECT_EQ(Utf8ToWide(WideToUtf8(wide)), wide);
}

TEST(CodePage, LongMixedTextKeepsEveryCharacter) {
  std::string utf8, cp936;
  for (int i = 0; i < 20000; ++i) {
    utf8 += "<td>\xE4\xB8\xAD\xE6\x96\x87" + std::to_string(i) + "</td>";  // 中文
    cp936 += "<td>\xD6\xD0\xCE\xC4" + std::to_string(i) + "</td>";
  }
  EXPECT_EQ(WideToAnsi(Utf8ToWide(utf8)), cp936);
  EXPECT_EQ(WideToUtf8(AnsiToWide(cp936)), utf8);
}

}  // namespace
}  // namespace kelvaro
