// The keyword file's line rules and encodings, as tables of cases. The import's own
// file cases run through the command in list_commands_test.cpp.
#include "lists/keyword_file.h"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

using Lines = std::vector<std::string>;

const std::string kZhongWen = "\xD6\xD0\xCE\xC4";              // 中文 in CP936
const std::string kXueXi = "\xD1\xA7\xCF\xB0";                 // 学习 in CP936
const std::string kZhongWenUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文 in UTF-8
const std::string kXueXiUtf8 = "\xE5\xAD\xA6\xE4\xB9\xA0";     // 学习 in UTF-8

TEST(KeywordFile, SplitTextAtCrLf) {
  struct Case {
    std::string text;
    Lines pieces;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},  // a final separator gives no empty last piece
      {"\r\n", {""}},
      {"a\r\n\r\nb", {"a", "", "b"}},  // two in a row give an empty piece
      {"\r\n\r\n", {"", ""}},
      {"a\rb\nc\n\r", {"a\rb\nc\n\r"}},  // lone CR and LF belong to the line
      {"\r", {"\r"}},
      // A byte of 0x80 or more steps over the next byte, whatever it is: the CR after
      // B0 is its trail byte, so the CR LF it stands in is no separator.
      {"\xB0\r\nx", {"\xB0\r\nx"}},
      {"\xB0\r\n\r\nx", {"\xB0\r\n", "x"}},
      {"\xB0\xA1\r\nx", {"\xB0\xA1", "x"}},
      {"x\xB0\xA1\xB0\r\n", {"x\xB0\xA1\xB0\r\n"}},
      // A lead byte as the very last byte ends the walk and stays in the last piece.
      {"a\r\n\xB0", {"a", "\xB0"}},
      {"ab\xB0", {"ab\xB0"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitText(c.text, kLineEnd), c.pieces) << testing::PrintToString(c.text);
  }
}

TEST(KeywordFile, TrimLeadingBlanks) {
  struct Case {
    std::string text, trimmed;
  } cases[] = {
      {"", ""},
      {"  x ", "x "},
      {"\xA1\xA1 \xA1\xA1x\xA1\xA1", "x\xA1\xA1"},  // spaces and ideographic spaces mixed
      {"\tx", "\tx"},                               // a tab is no blank
      {"\r\nx", "\r\nx"},
      {" \xA1", "\xA1"},  // half an ideographic space is no blank
      {"\xA1\xA2x", "\xA1\xA2x"},
      {" \xA1\xA1 ", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimLeadingBlanks(c.text), c.trimmed) << testing::PrintToString(c.text);
  }
}

TEST(KeywordFile, BytesToTextCutsAtTheFirstNul) {
  EXPECT_EQ(BytesToText(std::string("ab\0cd\0", 6)), "ab");
  EXPECT_EQ(BytesToText(std::string("\0a", 2)), "");
  EXPECT_EQ(BytesToText("abc"), "abc");
  EXPECT_EQ(BytesToText(""), "");
}

// Files saved as UTF-8 are converted to CP936 before the lines are cut; everything
// else is read byte for byte.
TEST(KeywordFile, ReadsUtf8Files) {
  struct Case {
    const char* what;
    std::string bytes;
    Lines keywords;
  } cases[] = {
      {"byte-order mark", "\xEF\xBB\xBF" + kZhongWenUtf8 + "\r\nab\r\n", {kZhongWen, "ab"}},
      {"no byte-order mark", kZhongWenUtf8 + "\r\n" + kXueXiUtf8, {kZhongWen, kXueXi}},
      // 学习 in CP936 is valid UTF-8 by accident (U+0467 U+03F0), but not Chinese.
      {"CP936 that is valid UTF-8", kXueXi + "\r\n", {kXueXi}},
      {"CP936", kZhongWen + "\r\n" + kXueXi + "\r\n", {kZhongWen, kXueXi}},
      {"ASCII", "abc\r\n", {"abc"}},
      // Hangul has no CP936 code: it becomes the substitute.
      {"character CP936 lacks", "\xEF\xBB\xBF\xE4\xB8\xAD\xED\x95\x9C", {"\xD6\xD0?"}},
      {"byte-order mark only", "\xEF\xBB\xBF", {}},
      // An ideographic space in UTF-8 is a blank once converted.
      {"UTF-8 blank line", "\xE3\x80\x80\r\n" + kZhongWenUtf8, {kZhongWen}},
      {"UTF-8 up to a NUL", kZhongWenUtf8 + std::string("\0\xFF", 2), {kZhongWen}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseKeywordFile(c.bytes), c.keywords) << c.what;
  }
}

TEST(KeywordFile, EncodingChosenByTheCaller) {
  EXPECT_EQ(ParseKeywordFile("caf\xC3\xA9", KeywordFileEncoding::Utf8), Lines{"caf\xA8\xA6"});
  EXPECT_EQ(ParseKeywordFile("caf\xC3\xA9"), Lines{"caf\xC3\xA9"});  // no CJK: left alone
  EXPECT_EQ(ParseKeywordFile("\xEF\xBB\xBF" + kZhongWenUtf8, KeywordFileEncoding::Cp936),
            Lines{"\xEF\xBB\xBF" + kZhongWenUtf8});
  EXPECT_EQ(FormatKeywordFile({kZhongWen, "a"}, KeywordFileEncoding::Utf8),
            kZhongWenUtf8 + "\r\na\r\n");
}

TEST(KeywordFile, FormatEndsEveryKeywordWithCrLf) {
  EXPECT_EQ(FormatKeywordFile({"a", "b"}), "a\r\nb\r\n");
  EXPECT_EQ(FormatKeywordFile({}), "");
  EXPECT_EQ(FormatKeywordFile({"", "x\r\ny"}), "\r\nx\r\ny\r\n");              // no escaping
  EXPECT_EQ(FormatKeywordFile({std::string("\xFF\x80", 2)}), "\xFF\x80\r\n");  // bytes kept
}

}  // namespace
}  // namespace kelvaro
