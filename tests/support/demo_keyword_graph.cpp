// The demo graph is written in UTF-8 here for reading and converted to CP936 once.
#include "tests/support/demo_keyword_graph.h"

#include <utility>

#include "platform/code_page.h"

namespace kelvaro::test {
namespace {

std::string ToCp936(std::string_view utf8) {
  return WideToAnsi(Utf8ToWide(utf8));
}

const std::pair<const char*, std::vector<const char*>> kDemoGraphUtf8[] = {
    {"手机", {"手机报价", "智能手机", "手机游戏", "华为手机", "手机壁纸"}},
    {"手机报价", {"华为手机", "二手手机", "智能手机"}},
    {"智能手机", {"android", "华为手机", "手机游戏"}},
    {"手机游戏", {"单机游戏", "网络游戏", "手机报价"}},
    {"华为手机", {"华为", "智能手机", "手机壁纸"}},
    {"电脑", {"笔记本电脑", "电脑配置", "电脑游戏", "linux"}},
    {"笔记本电脑", {"联想笔记本", "电脑配置", "二手电脑"}},
    {"电脑游戏", {"单机游戏", "网络游戏", "电脑配置"}},
    {"单机游戏", {"网络游戏", "电脑游戏", "手机游戏"}},
    {"网络游戏", {"单机游戏", "网络游戏排行"}},
    {"linux", {"ubuntu", "debian", "linux 命令"}},
    {"ubuntu", {"debian", "linux", "ubuntu 安装"}},
    {"android", {"java", "android market", "智能手机"}},
    {"java", {"c++", "python", "java 教程"}},
    {"python", {"python 教程", "java", "c++"}},
    {"c++", {"java", "python", "c++ 教程"}},
    {"天气", {"北京天气", "上海天气", "天气预报"}},
    {"天气预报", {"北京天气", "明天天气", "上海天气"}},
    {"北京天气", {"上海天气", "天气预报", "北京"}},
    {"音乐", {"流行音乐", "mp3", "音乐下载"}},
    {"mp3", {"mp3下载", "音乐", "音乐下载"}},
    {"流行音乐", {"音乐下载", "经典老歌"}},
};

const char* const kDemoSeedsUtf8[] = {"手机", "电脑", "天气", "音乐", "java"};

}  // namespace

KeywordGraph DemoKeywordGraph() {
  KeywordGraph graph;
  for (const auto& [keyword, related] : kDemoGraphUtf8) {
    std::vector<std::string>& list = graph[ToCp936(keyword)];
    for (const char* word : related) list.push_back(ToCp936(word));
  }
  return graph;
}

std::vector<std::string> DemoSeedKeywords() {
  std::vector<std::string> seeds;
  for (const char* seed : kDemoSeedsUtf8) seeds.push_back(ToCp936(seed));
  return seeds;
}

}  // namespace kelvaro::test
