// Text primitives and the related-search extraction, as tables of cases.
#include "engine/text.h"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

// 相关搜索</th><th> and a few CP936 characters, spelled as bytes.
const std::string kHeader = "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>";
const std::string kZhong = "\xD6\xD0";  // 中
const std::string kShuo = "\xD5\x66";   // 說: trail byte is the ASCII 'f'

TEST(TextPrimitives, LeftAndMid) {
  struct Case {
    std::string text;
    TextPos start, count;
    std::string mid;
  } cases[] = {
      {"abcdef", 2, 3, "bcd"}, {"abcdef", 5, 99, "ef"}, {"abcdef", 0, 3, ""},
      {"abcdef", 7, 1, ""},    {"abcdef", 3, -1, ""},   {"abcdef", 3, 0, ""},
      {"", 1, 1, ""},          {kZhong, 2, 1, "\xD0"},  // cuts at any byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MidText(c.text, c.start, c.count), c.mid) << c.text << " " << c.start;
  }
  EXPECT_EQ(LeftText("abc", 0), "");
  EXPECT_EQ(LeftText("abc", -2), "");
  EXPECT_EQ(LeftText("abc", 2), "ab");
  EXPECT_EQ(LeftText("abc", 10), "abc");
  EXPECT_EQ(TextLength(kZhong + "a"), 3);
}

TEST(TextPrimitives, FindText) {
  struct Case {
    std::string text, needle;
    TextPos start;
    bool ignoreCase;
    TextPos expected;
  } cases[] = {
      {"abc", "", 1, false, 1},
      {"", "", 1, false, -1},
      {"abc", "", 3, false, 1},  // an empty needle is found at 1 while text remains
      {"abc", "", 4, false, -1},
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},  // position counts from the start of the text
      {"abcabc", "bc", -5, false, 2},
      {"abc", "abcd", 1, false, -1},
      {"xABx", "ab", 1, false, -1},
      {"xABx", "ab", 1, true, 2},
      {"x\xA3\x41", "\xA3\x61", 1, true, 2},  // letters fold as trail bytes too
      {"x\xA3\x41", "\xA3\x61", 1, false, -1},
      // 中中 holds the pair D0 D6 across its two characters: never a match.
      {kZhong + kZhong, "\xD0\xD6", 1, false, -1},
      {"a" + kZhong + kZhong, "\xD0\xD6", 1, false, -1},
      // 說 ends in 'f': "f" is not found inside it, but after it.
      {kShuo + "f", "f", 1, false, 3},
      {kShuo, "f", 1, false, -1},
      // Starting on a trail byte shifts the character starts from there on.
      {kZhong + kZhong, "\xD0\xD6", 2, false, 2},
      // A lead byte that is the last byte ends the search.
      {"ab\xD6", "\xD6", 1, false, 3},
      {"ab\xD6", "b", 1, false, 2},
      {std::string(20, 'a') + kZhong + std::string(20, 'b') + "needle", "needle", 1, false, 43},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindText(c.text, c.needle, c.start, c.ignoreCase), c.expected)
        << "needle '" << c.needle << "' start " << c.start;
  }
}

TEST(ExtractBetweenSingle, MarkersAndEdges) {
  struct Case {
    std::string text, left, right, expected;
  } cases[] = {
      {"a[b]c[d]", "[", "]", "b"},
      {"a[]c", "[", "]", ""},              // right marker right after the left one
      {"a[bc", "[", "]", ""},              // no right marker after the left one
      {"a]b[c", "[", "]", ""},             // right marker only before the left one
      {"abc", "x", "]", ""},               // no left marker
      {"a[b]c", "[", "", "b]c"},           // empty right: everything after
      {"a[b]c", "", "]", "a[b"},           // empty left: everything before
      {"a[b]c", "", "", "a[b]c"},
      {"", "", "", ""},
      {"<<a>>", "<a", "a>", ""},           // markers never overlap
      {"x<A>y<a>z<", "<a>", "<", "z"},      // single mode is case-exact
      {"a[b]c", "[", "x", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractBetween(c.text, c.left, c.right), c.expected) << c.text;
  }
}

TEST(ExtractBetweenAll, ItemsOverlapFoldAndEndEmpty) {
  struct Case {
    std::string text, left, right;
    std::vector<std::string> expected;
  } cases[] = {
      {"<b>1</B>..<B>2</b>", "<b>", "</b>", {"1", "2"}},
      {"[a[b]", "[", "]", {"a[b", "b"}},      // overlapping items end at one marker
      {"[a][", "[", "]", {"a", ""}},          // a final left marker gives an empty item
      {"xyz", "[", "]", {}},
      {"[]", "[", "]", {""}},
      {"[[", "[[", "[", {""}},                 // right marker found from the left's start
  };
  for (const auto& c : cases) {
    std::vector<std::string> items{"stale"};
    EXPECT_EQ(ExtractBetween(c.text, c.left, c.right, true, &items), "");
    EXPECT_EQ(items, c.expected) << c.text;
  }
  std::vector<std::string> items{"kept"};
  ExtractBetween("[a]", "", "]", true, &items);
  ExtractBetween("[a]", "[", "", true, &items);
  EXPECT_EQ(items, std::vector<std::string>{"kept"});
}

std::string Page(const std::string& cells) {
  return "<html><div><table><tr><th>" + kHeader + cells + "</table></div><p>after</p>";
}

TEST(ExtractRelatedKeywords, Pages) {
  const std::string a1 = "<a href=\"/s?wd=x\">";
  struct Case {
    std::string name, page;
    std::vector<std::string> expected;
  } cases[] = {
      {"empty page", "", {}},
      {"no table", "<html>" + a1 + "x</a></html>", {}},
      {"no end of table", "<th>" + kHeader + a1 + "x</a>", {}},
      {"two cells", Page(a1 + "X</a></th><th>" + a1 + "Y</a></th></tr>"), {"X", "Y"}},
      {"repeat kept", Page(a1 + "X</a>" + a1 + "X</a>"), {"X", "X"}},
      {"capital closing tag", Page(a1 + "X</A>"), {"X"}},
      {"link start after last link", Page(a1 + "X</a><td class=\"c\">"), {"X", ""}},
      {"inner tag with quoted attribute",
       Page(a1 + "<em class=\"h\">X</em></a>"),
       {"<em class=\"h\">X</em>", "X</em>"}},
      {"cell tag with quoted attribute",
       Page(a1 + "X</a></th><th class=\"c\">" + a1 + "Y</a>"),
       {"X", a1 + "Y", "Y"}},
      {"chinese link text", Page(a1 + kZhong + kShuo + "</a>"), {kZhong + kShuo}},
      {"only the first table", Page(a1 + "X</a>") + Page(a1 + "Z</a>"), {"X"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractRelatedKeywords(c.page), c.expected) << c.name;
  }
}

TEST(ExtractRelatedKeywords, HeaderMarkerIsExact) {
  const std::string link = "<a href=\"u\">X</a>";
  // Lower-case th, or the marker straddling a character start, is no table.
  std::string lower = kHeader;
  lower.replace(lower.find("</th>"), 5, "</TH>");
  EXPECT_TRUE(ExtractRelatedKeywords("<th>" + lower + link + "</table></div>").empty());
  const std::string shifted = "\xB0" + kHeader + link + "</table></div>";  // B0 CF pairs up
  EXPECT_TRUE(ExtractRelatedKeywords(shifted).empty());
  EXPECT_EQ(ExtractRelatedKeywords("a" + kHeader + link + "</table></div>"),
            std::vector<std::string>{"X"});
}

}  // namespace
}  // namespace kelvaro
