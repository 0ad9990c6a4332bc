// The page layout: head, search form, a few results whose links also end in "\">" and
// "</a>" (so the extraction must find the right stretch), the words 相关搜索 once as a
// plain title before the table, and the table itself, split into rows of five.
#include "tests/support/result_page.h"

#include "engine/search_request.h"
#include "platform/code_page.h"

namespace kelvaro::test {

std::string Cp936ToUtf8(std::string_view cp936) {
  return WideToUtf8(AnsiToWide(cp936));
}

std::string ResultPageUtf8(std::string_view keyword, const std::vector<std::string>& related) {
  const std::string word = Cp936ToUtf8(keyword);
  std::string page;
  page.reserve(4096 + related.size() * 96);
  page +=
      "<!DOCTYPE html>\n<html><head><meta http-equiv=\"content-type\" "
      "content=\"text/html;charset=utf-8\">\n<title>" +
      word +
      "_百度搜索</title>\n<style>body{font:12px arial}#content_left{width:540px}"
      ".t{font-size:medium}</style></head>\n<body><div id=\"wrapper\">\n"
      "<div id=\"head\"><form name=\"f\" action=\"/s\"><input name=\"wd\" value=\"" +
      word +
      "\"><input type=\"submit\" value=\"百度一下\"></form></div>\n"
      "<div id=\"content_left\">\n";
  for (int i = 1; i <= 4; ++i) {
    const std::string n = std::to_string(i);
    page +=
        "<div class=\"result c-container\" id=\"" + n +
        "\"><h3 class=\"t\"><a href=\"http://www.baidu.com/link?url=r" + n +
        "\" target=\"_blank\"><em>" + word + "</em>_第" + n +
        "条结果</a></h3><div class=\"c-abstract\">关于<em>" + word +
        "</em>的介绍、图片和最新消息。</div><a class=\"c-showurl\" href=\"http://www.example.com/" +
        n + "\">www.example.com/" + n + "</a></div>\n";
  }
  page += "</div>\n";
  if (!related.empty()) {
    page +=
        "<div id=\"rs\"><div class=\"tt\">相关搜索</div><table "
        "cellpadding=\"0\"><tr><th>相关搜索</th>";
    for (size_t i = 0; i < related.size(); ++i) {
      if (i > 0 && i % 5 == 0) page += "</tr><tr><th></th>";
      page += "<th><a href=\"/s?wd=" + EncodeQuery(related[i]) + "&amp;rsp=" + std::to_string(i) +
              "\">" + Cp936ToUtf8(related[i]) + "</a></th>";
    }
    page += "</tr></table></div>\n";
  }
  page += "<div id=\"page\"><strong><span class=\"pc\">1</span></strong><a href=\"/s?wd=" +
          EncodeQuery(keyword) +
          "&amp;pn=10\"><span class=\"pc\">2</span></a></div>\n"
          "<div id=\"foot\">&copy;2010 Baidu</div></div></body></html>\n";
  return page;
}

}  // namespace kelvaro::test
