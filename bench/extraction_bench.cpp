// Extraction and decoding of one realistic result page (about 150 KB), in MB/s of page.
//
// The page is made here: a long head of style and script, result entries with Chinese
// titles and abstracts, and the related-search table near the end, so the scan for the
// table marker has to cross almost the whole page, as on the real service. A memmem of
// the page for the marker is the bound the extraction is measured against.
#include <benchmark/benchmark.h>
#include <string.h>

#include <string>
#include <vector>

#include "engine/search_request.h"
#include "engine/text.h"
#include "platform/code_page.h"

namespace kelvaro {
namespace {

constexpr size_t kPageBytes = 150 * 1024;

std::string BuildPageUtf8() {
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta http-equiv=\"content-type\" "
      "content=\"text/html;charset=utf-8\"><title>手机_百度搜索</title>\n<style>";
  for (int i = 0; i < 300; ++i) {
    page += ".c-container-" + std::to_string(i) +
            "{margin:0 0 14px;padding:0;font:13px/1.54 arial,sans-serif;color:#333}\n";
  }
  page += "</style>\n<script>var bds={se:{},su:{urdata:[],urSendClick:function(){}}};";
  for (int i = 0; i < 150; ++i) {
    page += "bds.comm.ubsurl" + std::to_string(i) +
            "=\"http://sclick.baidu.com/w.gif?q=\"+encodeURIComponent(q)+\"&rsv_sid=" +
            std::to_string(i * 7919) + "\";\n";
  }
  page += "</script></head>\n<body><div id=\"wrapper\"><div id=\"content_left\">\n";
  const std::string abstract =
      "手机，全称为移动电话或无线电话，通常称为手机，原本只是一种通讯工具，早期又有"
      "“大哥大”的俗称，是可以在较广范围内使用的便携式电话终端。最新报价、图片、参数、"
      "评测，尽在<em>手机</em>频道。";
  for (int i = 1; page.size() < kPageBytes - 4096; ++i) {
    const std::string n = std::to_string(i);
    page += "<div class=\"result c-container\" id=\"" + n +
            "\"><h3 class=\"t\"><a href=\"http://www.baidu.com/link?url=Zx8" + n +
            "q\" target=\"_blank\"><em>手机</em>大全_第" + n +
            "条_最新手机报价</a></h3><div class=\"c-abstract\">" + abstract + abstract +
            "</div><div class=\"f13\"><span class=\"g\">www.example" + n + ".com/ 2010-11-" +
            std::to_string(i % 28 + 1) + "</span> - <a href=\"http://cache.baidu.com/c?m=" + n +
            "\" class=\"m\">百度快照</a></div></div>\n";
  }
  page +=
      "</div>\n<div id=\"rs\"><div class=\"tt\">相关搜索</div><table cellpadding=\"0\"><tr>"
      "<th>相关搜索</th>";
  const char* related[] = {"手机报价", "智能手机", "手机游戏", "华为手机", "手机壁纸",
                           "二手手机", "手机铃声", "手机qq",   "手机电视", "手机主题"};
  for (int i = 0; i < 10; ++i) {
    if (i == 5) page += "</tr><tr><th></th>";
    page += "<th><a href=\"/s?wd=x" + std::to_string(i) + "\">" + related[i] + "</a></th>";
  }
  page +=
      "</tr></table></div>\n<div id=\"page\"><a href=\"/s?wd=x&amp;pn=10\">下一页&gt;</a>"
      "</div><div id=\"foot\">&copy;2010 Baidu</div></div></body></html>\n";
  return page;
}

const std::string& PageUtf8() {
  static const std::string page = BuildPageUtf8();
  return page;
}

const std::string& PageCp936() {
  static const std::string page = WideToAnsi(Utf8ToWide(PageUtf8()));
  return page;
}

void BM_ExtractRelatedKeywords(benchmark::State& state) {
  const std::string& page = PageCp936();
  size_t items = 0;
  for (auto _ : state) {
    std::vector<std::string> keywords = ExtractRelatedKeywords(page);
    items = keywords.size();
    benchmark::DoNotOptimize(keywords);
  }
  if (items != 10) state.SkipWithError("the page's table did not give 10 keywords");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
  state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_ExtractRelatedKeywords);

// The bound: one plain scan of the page for the table marker, with no character walk.
void BM_MemmemTableMarker(benchmark::State& state) {
  const std::string& page = PageCp936();
  const std::string marker = "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>";  // 相关搜索
  for (auto _ : state) {
    const void* hit = memmem(page.data(), page.size(), marker.data(), marker.size());
    benchmark::DoNotOptimize(hit);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_MemmemTableMarker);

void BM_DecodePage(benchmark::State& state) {
  const std::string& page = PageUtf8();
  for (auto _ : state) {
    std::string text = DecodePage(page);
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
  state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_DecodePage);

void BM_EncodeQuery(benchmark::State& state) {
  const std::string keyword = "\xCA\xD6\xBB\xFA\xB1\xA8\xBC\xDB 2010";  // 手机报价 2010
  for (auto _ : state) {
    std::string encoded = EncodeQuery(keyword);
    benchmark::DoNotOptimize(encoded);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * keyword.size()));
}
BENCHMARK(BM_EncodeQuery);

}  // namespace
}  // namespace kelvaro

BENCHMARK_MAIN();
