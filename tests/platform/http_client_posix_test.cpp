// What only the Linux client promises: the environment's proxy settings are ignored,
// and a fetch can be called off from another thread.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <future>
#include <optional>

#include "platform/http_client.h"
#include "tests/support/search_service.h"

namespace kelvaro {
namespace {

using test::Answer;
using test::TestSearchService;

// Sets an environment variable for the scope and puts back what was there.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(HttpGetPosix, ProxyFromTheEnvironmentIsIgnored) {
  TestSearchService service(test::KeywordGraph{{"seed", {"x"}}});
  uint16_t deadPort;
  {
    TestSearchService dead;
    deadPort = dead.Port();
  }
  const std::string proxy = "http://127.0.0.1:" + std::to_string(deadPort);
  ScopedEnvironment lower("http_proxy", proxy), upper("HTTP_PROXY", proxy), all("ALL_PROXY", proxy),
      allLower("all_proxy", proxy), none("no_proxy", "");
  EXPECT_EQ(HttpGet({.host = "127.0.0.1", .port = service.Port(), .target = "/s?wd=seed"}),
            service.PageFor("seed"));
}

TEST(HttpGetPosix, CancelEndsAFetchThatWaitsForAnAnswer) {
  TestSearchService service;
  service.SetDefaultAnswer(Answer::Stall());
  std::atomic<bool> cancel{false};
  auto fetch = std::async(std::launch::async, [&] {
    return HttpGet({.host = "127.0.0.1",
                    .port = service.Port(),
                    .target = "/s?wd=seed",
                    .connectTimeoutMs = 30000,
                    .sendTimeoutMs = 30000,
                    .receiveTimeoutMs = 30000,
                    .cancel = &cancel});
  });
  ASSERT_TRUE(service.WaitForRequests(1, std::chrono::seconds(10)));
  cancel = true;
  // Far below the 30 s the fetch would otherwise wait.
  ASSERT_EQ(fetch.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(fetch.get(), "");
}

}  // namespace
}  // namespace kelvaro
