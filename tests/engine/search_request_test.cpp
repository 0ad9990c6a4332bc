// The search page request: the query encoding and the page decoding as tables, and the
// fetch against the test search service, down to the bytes of the request.
#include "engine/search_request.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/text.h"
#include "tests/support/result_page.h"
#include "tests/support/search_service.h"

namespace kelvaro {
namespace {

using test::Answer;
using test::TestSearchService;

TEST(EncodeByte, TwoUppercaseDigits) {
  const std::pair<unsigned char, std::string> cases[] = {
      {0, "00"}, {10, "0A"}, {15, "0F"}, {16, "10"}, {0x7E, "7E"}, {0xD5, "D5"}, {255, "FF"},
  };
  for (const auto& [byte, digits] : cases) EXPECT_EQ(EncodeByte(byte), digits) << int{byte};
}

TEST(EncodeQuery, EveryByteValueAgainstTheTable) {
  // The ranges that stand for themselves, written out as in the table of treatments.
  const auto unchanged = [](int b) {
    return b == 0x2A || b == 0x2D || b == 0x2E || (b >= 0x30 && b <= 0x39) || b == 0x40 ||
           (b >= 0x41 && b <= 0x5A) || b == 0x5F || (b >= 0x61 && b <= 0x7A);
  };
  int unchangedCount = 0;
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    char escaped[4];
    std::snprintf(escaped, sizeof(escaped), "%%%02X", b);
    if (unchanged(b)) ++unchangedCount;
    EXPECT_EQ(EncodeQuery(byte), unchanged(b) ? byte : std::string(escaped)) << b;
  }
  EXPECT_EQ(unchangedCount, 67);
}

TEST(EncodeQuery, Examples) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"A-Z_a.z*", "A-Z_a.z*"},
      {"a b", "a%20b"},
      {"C++", "C%2B%2B"},
      {"100%", "100%25"},
      {"~user@host", "%7Euser@host"},
      {"\xD6\xD0\xCE\xC4", "%D6%D0%CE%C4"},  // 中文
      {"\xD5\x66", "%D5f"},                  // 說: the trail byte 'f' stays
  };
  for (const auto& [keyword, encoded] : cases) EXPECT_EQ(EncodeQuery(keyword), encoded);
}

TEST(DecodePage, Table) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"<html>plain ASCII page</html>", "<html>plain ASCII page</html>"},
      {"\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},  // 中文
      {"\xE8\xAA\xAA", "\xD5\x66"},                      // 說
      {std::string("ab\0cd", 5), "ab"},                  // cut at the first NUL
      {std::string("\0abc", 4), ""},
      {std::string("\xE4\xB8\xAD\0\xE6\x96\x87", 7), "\xD6\xD0"},  // 中, then NUL
      {"a\xFF"
       "b",
       "a?b"},  // malformed UTF-8
      {"a\xE0\xB8\x81"
       "b",
       "a?b"},                   // Thai: not in CP936
      {"\xE2\x82\xAC", "\x80"},  // the euro
  };
  for (const auto& [body, text] : cases) EXPECT_EQ(DecodePage(body), text) << body;
}

// 說文 and "C++ 中文": keywords whose encoding has trail bytes, "+" and a space.
const std::string kShuoWen = "\xD5\x66\xCE\xC4";
const std::string kCppChinese = "C++ \xD6\xD0\xCE\xC4";
const std::string kRelatedA = "\xCF\xE0\xB9\xD8 A";  // 相关 A
const std::string kRelatedB = "b&c";

class FetchSearchPageTest : public ::testing::Test {
 protected:
  FetchSearchPageTest()
      : service_(test::KeywordGraph{{kCppChinese, {kShuoWen, kRelatedA, kRelatedB}}}) {}
  std::string Fetch(std::string_view keyword) {
    return FetchSearchPage(keyword, service_.Endpoint());
  }

  TestSearchService service_;
};

TEST_F(FetchSearchPageTest, SendsExactlyTheFixedRequest) {
  const std::string page = Fetch(kCppChinese);
  EXPECT_EQ(ExtractRelatedKeywords(page),
            (std::vector<std::string>{kShuoWen, kRelatedA, kRelatedB}));

  const auto requests = service_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const test::RecordedRequest& request = requests[0];
  EXPECT_EQ(request.requestLine, "GET /s?wd=C%2B%2B%20%D6%D0%CE%C4 HTTP/1.1");
  using Lines = std::vector<std::string>;
  EXPECT_EQ(request.HeaderLines("User-Agent"),
            Lines{"User-Agent: Mozilla/5.0 (Windows; U; Windows NT 6.1; en-US) AppleWebKit/534.10 "
                  "(KHTML, like Gecko) Chrome/7.0.536.2 Safari/534.10"});
  EXPECT_EQ(request.HeaderLines("Accept"), Lines{"Accept: */*"});
  // The service listens on a port of its own, yet the Host header names no port.
  EXPECT_EQ(request.HeaderLines("Host"), Lines{"Host: 127.0.0.1"});
  for (const char* absent : {"Cookie", "Referer", "Accept-Encoding", "Content-Length",
                             "Content-Type", "Transfer-Encoding", "Proxy-Connection"}) {
    EXPECT_TRUE(request.HeaderLines(absent).empty()) << absent;
  }
}

TEST_F(FetchSearchPageTest, EmptyKeywordIsStillRequested) {
  EXPECT_EQ(ExtractRelatedKeywords(Fetch("")), std::vector<std::string>{});
  const auto requests = service_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine, "GET /s?wd= HTTP/1.1");
  EXPECT_EQ(service_.RequestCount(""), 1u);
}

TEST_F(FetchSearchPageTest, StatusCodeIsIgnored) {
  service_.SetAnswer(kCppChinese, Answer{.status = 404});
  EXPECT_EQ(ExtractRelatedKeywords(Fetch(kCppChinese)).size(), 3u);
  service_.SetAnswer(kCppChinese, Answer::WithBody("<h1>\xE5\x87\xBA\xE9\x94\x99</h1>", 500));
  EXPECT_EQ(Fetch(kCppChinese), "<h1>\xB3\xF6\xB4\xED</h1>");  // 出错
}

TEST_F(FetchSearchPageTest, BodyIsDecodedUpToItsFirstNul) {
  const std::string page = service_.PageFor(kCppChinese);
  const size_t table = page.find("<div id=\"rs\">");
  ASSERT_NE(table, std::string::npos);
  service_.SetAnswer(kCppChinese,
                     Answer::WithBody(page.substr(0, table) + '\0' + page.substr(table)));
  const std::string text = Fetch(kCppChinese);
  EXPECT_EQ(text, DecodePage(page.substr(0, table)));
  EXPECT_TRUE(ExtractRelatedKeywords(text).empty());

  service_.SetAnswer(kCppChinese, Answer::WithBody(""));
  EXPECT_EQ(Fetch(kCppChinese), "");
}

TEST_F(FetchSearchPageTest, RedirectsAreFollowedWithoutCookies) {
  TestSearchService other(test::KeywordGraph{{kShuoWen, {kRelatedB}}});
  const std::string otherUrl = other.Url("/s?wd=" + EncodeQuery(kShuoWen));
  struct Case {
    std::string name;
    Answer answer;
    std::vector<std::string> related;
  } cases[] = {
      {"same service", Answer::RedirectTo("/s?wd=" + EncodeQuery("\xD6\xD0")), {}},
      {"other port", Answer::RedirectTo(otherUrl), {kRelatedB}},
      {"two hops", Answer::RedirectTo(service_.Url("/s?wd=hop")), {kRelatedB}},
  };
  service_.SetAnswer("hop", Answer{.kind = Answer::Kind::Redirect,
                                   .status = 301,
                                   .location = otherUrl,
                                   .extraHeaders = {"Set-Cookie: BAIDUID=hop; path=/"}});
  for (auto& c : cases) {
    c.answer.extraHeaders.push_back("Set-Cookie: BAIDUID=first; path=/");
    service_.SetAnswer(kCppChinese, c.answer);
    const std::string page = Fetch(kCppChinese);
    EXPECT_NE(page.find("</html>"), std::string::npos) << c.name;
    EXPECT_EQ(page.find("Moved"), std::string::npos) << c.name;  // not the redirect's body
    EXPECT_EQ(ExtractRelatedKeywords(page), c.related) << c.name;
  }
  EXPECT_EQ(service_.RequestCount("\xD6\xD0"), 1u);
  EXPECT_EQ(service_.RequestCount("hop"), 1u);
  EXPECT_EQ(other.RequestCount(kShuoWen), 2u);
  auto requests = service_.Requests();
  const auto more = other.Requests();
  requests.insert(requests.end(), more.begin(), more.end());
  for (const auto& request : requests) {
    EXPECT_TRUE(request.HeaderLines("Cookie").empty()) << request.requestLine;
    EXPECT_TRUE(request.HeaderLines("Referer").empty()) << request.requestLine;
  }
}

}  // namespace
}  // namespace kelvaro
