// The test search service: a real HTTP/1.1 server on 127.0.0.1 inside the test process.
//
// It serves "/s?wd=<percent-encoded CP936 keyword>" with a UTF-8 result page whose
// related-search table links the keywords of a graph the test sets, and records every
// request byte for byte. Per keyword, or for all keywords, it can also answer late,
// never, with half a body, with a redirect, with any status or body, or with an endless
// stream, so the fetch and the harvest can be tested against each way a server fails.
//
// Each connection has its own thread; every wait is bounded and checks the stop mark,
// so the destructor returns promptly even while clients hang on stalled answers.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/search_request.h"
#include "tests/support/socket.h"

namespace kelvaro::test {

// CP936 keyword -> its related keywords (CP936), in page order.
using KeywordGraph = std::map<std::string, std::vector<std::string>, std::less<>>;
// Related keywords for any keyword; nullopt for a keyword it does not know.
using KeywordGenerator =
    std::function<std::optional<std::vector<std::string>>(std::string_view keyword)>;

// A generated graph in which every keyword has `fanOut` related keywords: the keyword
// followed by 词 (CP936) and the child's number, so every keyword is distinct.
KeywordGenerator FanOutGraph(int fanOut);

// One request as it arrived.
struct RecordedRequest {
  std::string requestLine;               // without its CR LF
  std::vector<std::string> headerLines;  // in arrival order, each without its CR LF
  std::string target;                    // the request target of the request line
  std::optional<std::string> keyword;    // the decoded CP936 keyword of "/s?wd=..."

  // The header lines whose name is `name` (case-blind), whole: "Host: 127.0.0.1".
  std::vector<std::string> HeaderLines(std::string_view name) const;
};

// How the service answers a request.
struct Answer {
  enum class Kind {
    Page,                // `status` with `body`, or the keyword's result page
    Redirect,            // `status` (302 unless 3xx) to `location`, with a small body
    StallBeforeHeaders,  // take the request and never answer
    StallInBody,         // the headers for the whole body and its first half, then nothing
    DropMidBody,         // the headers for the whole body and its first half, then close
    Stream,              // `streamBytes` of `body` repeated (or filler), made while sent
  };
  Kind kind = Kind::Page;
  int status = 200;
  std::optional<std::string> body;        // raw bytes instead of the result page
  std::string location;                   // for Redirect: an absolute URL or a path
  std::vector<std::string> extraHeaders;  // whole lines, e.g. "Set-Cookie: id=1"
  std::chrono::milliseconds latency{0};   // waited before answering
  uint64_t streamBytes = 0;

  static Answer WithBody(std::string bytes, int status = 200);
  static Answer RedirectTo(std::string location);
  static Answer Stall();
  static Answer StallInBody();
  static Answer DropMidBody();
  static Answer Stream(uint64_t bytes, std::string pattern);
  static Answer Delayed(std::chrono::milliseconds latency);  // the page, late
};

class TestSearchService {
 public:
  // Listens on 127.0.0.1:port (0: a free port) at once. Check Listening() when the port
  // is fixed; an ephemeral port always succeeds.
  explicit TestSearchService(KeywordGraph graph = {}, uint16_t port = 0);
  ~TestSearchService();
  TestSearchService(const TestSearchService&) = delete;
  TestSearchService& operator=(const TestSearchService&) = delete;

  bool Listening() const { return port_ != 0; }
  uint16_t Port() const { return port_; }
  // The endpoint for FetchSearchPage, with every time-out set to `timeoutMs`.
  SearchService Endpoint(int timeoutMs = 5000) const;
  // "http://127.0.0.1:<port>" followed by `target`.
  std::string Url(std::string_view target) const;

  // The graph; a generator answers for keywords the graph lacks.
  void SetRelated(std::string keyword, std::vector<std::string> related);
  void SetGenerator(KeywordGenerator generator);
  // How to answer `keyword`; it replaces the default answer for that keyword.
  void SetAnswer(std::string keyword, Answer answer);
  // How to answer every keyword without an answer of its own (the result page at first).
  void SetDefaultAnswer(Answer answer);
  // The UTF-8 page served for `keyword`: its related-search table, or none when the
  // keyword is unknown.
  std::string PageFor(std::string_view keyword) const;

  std::vector<RecordedRequest> Requests() const;
  size_t RequestCount() const;
  size_t RequestCount(std::string_view keyword) const;
  // Waits until at least `count` requests have arrived; false when `bound` passed first.
  bool WaitForRequests(size_t count, std::chrono::milliseconds bound) const;

 private:
  struct Connection {
    Socket socket;
    std::thread thread;
    std::atomic<bool> finished{false};
  };

  void AcceptLoop();
  void Serve(Connection& connection);
  Answer Record(RecordedRequest request);
  bool Respond(const Socket& socket, const Answer& answer, const RecordedRequest& request);
  bool Pause(std::chrono::milliseconds duration) const;  // false when stopping
  bool Stopping() const { return stopping_.load(std::memory_order_relaxed); }

  SocketLibrary socketLibrary_;
  Socket listener_;
  uint16_t port_ = 0;

  mutable std::mutex mutex_;  // guards everything below up to the thread
  mutable std::condition_variable changed_;
  KeywordGraph graph_;
  KeywordGenerator generator_;
  std::map<std::string, Answer, std::less<>> answers_;
  Answer defaultAnswer_;
  std::vector<RecordedRequest> requests_;
  std::map<std::string, size_t, std::less<>> countByKeyword_;

  std::atomic<bool> stopping_{false};
  std::list<Connection> connections_;  // the accept thread's, until it has ended
  std::thread acceptThread_;
};

}  // namespace kelvaro::test
