// The GET against the test search service when the server or the network misbehaves:
// what arrived is kept, nothing that did not arrive is invented, and every wait ends.
#include "platform/http_client.h"

#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "tests/support/search_service.h"

namespace kelvaro {
namespace {

using test::Answer;
using test::TestSearchService;

constexpr int kShortTimeoutMs = 400;

class HttpGetTest : public ::testing::Test {
 protected:
  HttpGetTest() : service_(test::KeywordGraph{{"seed", {"x", "y"}}}) {}

  std::string Get(std::string_view target, int timeoutMs = 5000,
                  size_t maxBodyBytes = size_t{64} << 20) {
    return HttpGet({.host = "127.0.0.1",
                    .port = service_.Port(),
                    .target = target,
                    .connectTimeoutMs = timeoutMs,
                    .sendTimeoutMs = timeoutMs,
                    .receiveTimeoutMs = timeoutMs,
                    .maxBodyBytes = maxBodyBytes});
  }

  TestSearchService service_;
};

TEST_F(HttpGetTest, BrokenOrStalledAnswersKeepWhatArrived) {
  const std::string page = service_.PageFor("seed");
  const std::string half = page.substr(0, page.size() / 2);
  struct Case {
    const char* name;
    Answer answer;
    std::string body;
  } cases[] = {
      {"dropped mid-body", Answer::DropMidBody(), half},
      {"stalled mid-body", Answer::StallInBody(), half},
      {"stalled before the headers", Answer::Stall(), ""},
      {"late but within the time-out", Answer::Delayed(std::chrono::milliseconds(100)), page},
  };
  for (const Case& c : cases) {
    service_.SetAnswer("seed", c.answer);
    EXPECT_EQ(Get("/s?wd=seed", kShortTimeoutMs), c.body) << c.name;
  }
}

TEST_F(HttpGetTest, BodyIsCutAtTheLimit) {
  const std::string pattern = "<p>0123456789</p>\n";
  std::string stream;
  while (stream.size() < 300000) stream += pattern;
  service_.SetAnswer("seed", Answer::Stream(1 << 30, pattern));  // 1 GiB, never held whole
  EXPECT_EQ(Get("/s?wd=seed", 5000, 250000), stream.substr(0, 250000));
  // A body that fits exactly is whole.
  service_.SetAnswer("seed", Answer::Stream(1000, pattern));
  EXPECT_EQ(Get("/s?wd=seed", 5000, 1000), stream.substr(0, 1000));
}

TEST_F(HttpGetTest, UnreachableServersGiveNothing) {
  uint16_t closedPort;
  {
    TestSearchService gone;
    closedPort = gone.Port();
  }
  for (const auto& [host, port] : {std::pair<std::string_view, uint16_t>{"127.0.0.1", closedPort},
                                   {"kelvaro-test.invalid", 80}}) {
    EXPECT_EQ(HttpGet({.host = host,
                       .port = port,
                       .target = "/s?wd=seed",
                       .connectTimeoutMs = kShortTimeoutMs,
                       .sendTimeoutMs = kShortTimeoutMs,
                       .receiveTimeoutMs = kShortTimeoutMs}),
              "")
        << host;
  }
}

TEST_F(HttpGetTest, ManyFetchesAtOnce) {
  // As many as a harvest has workers, each on its own thread with its own client state.
  service_.SetDefaultAnswer(Answer::Delayed(std::chrono::milliseconds(20)));
  std::vector<std::future<std::string>> fetches;
  for (int i = 0; i < 20; ++i) {
    fetches.push_back(std::async(std::launch::async, [this, i] {
      return Get("/s?wd=k" + std::to_string(i % 5 == 0 ? 0 : i));
    }));
  }
  for (int i = 0; i < 20; ++i) {
    const std::string keyword = "k" + std::to_string(i % 5 == 0 ? 0 : i);
    EXPECT_EQ(fetches[i].get(), service_.PageFor(keyword)) << i;
  }
  EXPECT_EQ(service_.RequestCount(), 20u);
  EXPECT_EQ(service_.RequestCount("k0"), 4u);
}

TEST(HttpGetStoppedService, FetchEndsWhenTheServiceStopsDuringAStall) {
  // The service must stop while a client still waits on it, and the client must see
  // the connection end rather than wait out its time-out.
  std::future<std::string> fetch;
  {
    TestSearchService service;
    service.SetDefaultAnswer(Answer::Stall());
    fetch = std::async(std::launch::async, [port = service.Port()] {
      return HttpGet({.host = "127.0.0.1",
                      .port = port,
                      .target = "/s?wd=seed",
                      .connectTimeoutMs = 30000,
                      .sendTimeoutMs = 30000,
                      .receiveTimeoutMs = 30000});
    });
    ASSERT_TRUE(service.WaitForRequests(1, std::chrono::seconds(10)));
  }
  ASSERT_EQ(fetch.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(fetch.get(), "");
}

}  // namespace
}  // namespace kelvaro
