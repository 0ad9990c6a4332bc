// The test search service: accept loop, one thread per connection, and the answers.
#include "tests/support/search_service.h"

#include <algorithm>
#include <cctype>

#include "tests/support/result_page.h"

namespace kelvaro::test {
namespace {

// How long any wait lasts before the stop mark is looked at again.
constexpr int kTickMs = 20;
constexpr std::string_view kSearchPrefix = "/s?wd=";
constexpr size_t kSendPiece = 64 * 1024;

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The keyword of a search target, percent-decoded into its CP936 bytes.
std::optional<std::string> KeywordOf(std::string_view target) {
  if (!target.starts_with(kSearchPrefix)) return std::nullopt;
  target.remove_prefix(kSearchPrefix.size());
  std::string keyword;
  for (size_t i = 0; i < target.size(); ++i) {
    if (target[i] == '%' && i + 2 < target.size() && HexValue(target[i + 1]) >= 0 &&
        HexValue(target[i + 2]) >= 0) {
      keyword += static_cast<char>(HexValue(target[i + 1]) * 16 + HexValue(target[i + 2]));
      i += 2;
    } else {
      keyword += target[i];
    }
  }
  return keyword;
}

RecordedRequest ParseHead(std::string_view head) {
  RecordedRequest request;
  size_t lineStart = 0;
  while (lineStart <= head.size()) {
    size_t lineEnd = head.find("\r\n", lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = head.size();
    const std::string_view line = head.substr(lineStart, lineEnd - lineStart);
    if (lineStart == 0) {
      request.requestLine = line;
    } else {
      request.headerLines.emplace_back(line);
    }
    lineStart = lineEnd + 2;
  }
  const size_t first = request.requestLine.find(' ');
  const size_t last = request.requestLine.rfind(' ');
  if (first != std::string::npos && last > first) {
    request.target = request.requestLine.substr(first + 1, last - first - 1);
  }
  request.keyword = KeywordOf(request.target);
  return request;
}

std::string_view Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

std::string Head(int status, uint64_t contentLength, const std::vector<std::string>& extra) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + " " + std::string(Reason(status)) +
                     "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                     std::to_string(contentLength) + "\r\n";
  for (const std::string& line : extra) head += line + "\r\n";
  return head + "\r\n";
}

}  // namespace

KeywordGenerator FanOutGraph(int fanOut) {
  return [fanOut](std::string_view keyword) {
    std::vector<std::string> related;
    for (int i = 1; i <= fanOut; ++i) {
      related.push_back(std::string(keyword) + "\xB4\xCA" + std::to_string(i));  // 词
    }
    return std::optional(std::move(related));
  };
}

std::vector<std::string> RecordedRequest::HeaderLines(std::string_view name) const {
  std::vector<std::string> lines;
  for (const std::string& line : headerLines) {
    const size_t colon = line.find(':');
    if (colon != std::string::npos && SameName(std::string_view(line).substr(0, colon), name)) {
      lines.push_back(line);
    }
  }
  return lines;
}

Answer Answer::WithBody(std::string bytes, int status) {
  return {.status = status, .body = std::move(bytes)};
}
Answer Answer::RedirectTo(std::string location) {
  return {.kind = Kind::Redirect, .status = 302, .location = std::move(location)};
}
Answer Answer::Stall() {
  return {.kind = Kind::StallBeforeHeaders};
}
Answer Answer::StallInBody() {
  return {.kind = Kind::StallInBody};
}
Answer Answer::DropMidBody() {
  return {.kind = Kind::DropMidBody};
}
Answer Answer::Stream(uint64_t bytes, std::string pattern) {
  return {.kind = Kind::Stream, .body = std::move(pattern), .streamBytes = bytes};
}
Answer Answer::Delayed(std::chrono::milliseconds latency) {
  return {.latency = latency};
}

TestSearchService::TestSearchService(KeywordGraph graph, uint16_t port) : graph_(std::move(graph)) {
  listener_ = ListenOnLoopback(port);
  if (!listener_) return;
  port_ = LocalPort(listener_);
  if (port_ == 0) return;
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

TestSearchService::~TestSearchService() {
  stopping_ = true;
  {
    std::lock_guard lock(mutex_);  // so no Pause misses the wake-up
    changed_.notify_all();
  }
  if (acceptThread_.joinable()) acceptThread_.join();
}

SearchService TestSearchService::Endpoint(int timeoutMs) const {
  SearchService service;
  service.host = "127.0.0.1";
  service.port = port_;
  service.connectTimeoutMs = service.sendTimeoutMs = service.receiveTimeoutMs = timeoutMs;
  return service;
}

std::string TestSearchService::Url(std::string_view target) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

void TestSearchService::SetRelated(std::string keyword, std::vector<std::string> related) {
  std::lock_guard lock(mutex_);
  graph_.insert_or_assign(std::move(keyword), std::move(related));
}

void TestSearchService::SetGenerator(KeywordGenerator generator) {
  std::lock_guard lock(mutex_);
  generator_ = std::move(generator);
}

void TestSearchService::SetAnswer(std::string keyword, Answer answer) {
  std::lock_guard lock(mutex_);
  answers_.insert_or_assign(std::move(keyword), std::move(answer));
}

void TestSearchService::SetDefaultAnswer(Answer answer) {
  std::lock_guard lock(mutex_);
  defaultAnswer_ = std::move(answer);
}

std::string TestSearchService::PageFor(std::string_view keyword) const {
  KeywordGenerator generator;
  {
    std::lock_guard lock(mutex_);
    if (auto known = graph_.find(keyword); known != graph_.end()) {
      return ResultPageUtf8(keyword, known->second);
    }
    generator = generator_;
  }
  std::optional<std::vector<std::string>> related;
  if (generator) related = generator(keyword);
  return ResultPageUtf8(keyword, related.value_or(std::vector<std::string>{}));
}

std::vector<RecordedRequest> TestSearchService::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

size_t TestSearchService::RequestCount() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

size_t TestSearchService::RequestCount(std::string_view keyword) const {
  std::lock_guard lock(mutex_);
  const auto found = countByKeyword_.find(keyword);
  return found == countByKeyword_.end() ? 0 : found->second;
}

bool TestSearchService::WaitForRequests(size_t count, std::chrono::milliseconds bound) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, bound, [&] { return requests_.size() >= count; });
}

void TestSearchService::AcceptLoop() {
  while (!Stopping()) {
    connections_.remove_if([](Connection& connection) {
      if (!connection.finished) return false;
      connection.thread.join();
      return true;
    });
    const WaitResult waited = WaitReadable(listener_, kTickMs);
    if (waited == WaitResult::Failed) break;
    if (waited == WaitResult::TimedOut) continue;
    while (Socket socket = Accept(listener_)) {
      Connection& connection = connections_.emplace_back();
      connection.socket = std::move(socket);
      connection.thread = std::thread([this, &connection] {
        Serve(connection);
        connection.socket.Reset();  // the client sees the end at once, not at the reaping
        connection.finished = true;
      });
    }
  }
  for (Connection& connection : connections_) connection.thread.join();
  connections_.clear();
}

namespace {

// Appends what arrives to `buffer`; false when the peer closed, on failure or on stop.
bool ReceiveMore(const Socket& socket, std::string& buffer, const std::atomic<bool>& stopping) {
  char chunk[4096];
  while (!stopping) {
    const WaitResult waited = WaitReadable(socket, kTickMs);
    if (waited == WaitResult::Failed) return false;
    if (waited == WaitResult::TimedOut) continue;
    const std::ptrdiff_t received = Receive(socket, chunk, sizeof(chunk));
    if (received == kWouldBlock) continue;
    if (received <= 0) return false;
    buffer.append(chunk, static_cast<size_t>(received));
    return true;
  }
  return false;
}

bool SendAll(const Socket& socket, std::string_view bytes, const std::atomic<bool>& stopping) {
  while (!bytes.empty()) {
    if (stopping) return false;
    const WaitResult waited = WaitWritable(socket, kTickMs);
    if (waited == WaitResult::Failed) return false;
    if (waited == WaitResult::TimedOut) continue;
    const std::ptrdiff_t sent = Send(socket, bytes.substr(0, kSendPiece));
    if (sent == kWouldBlock) continue;
    if (sent < 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

// Holds the connection open, answering nothing, until the client gives up or the
// service stops.
void StallUntilClosed(const Socket& socket, const std::atomic<bool>& stopping) {
  std::string ignored;
  while (ReceiveMore(socket, ignored, stopping)) ignored.clear();
}

}  // namespace

void TestSearchService::Serve(Connection& connection) {
  const Socket& socket = connection.socket;
  std::string buffer;
  // One request after another on the connection, as long as both sides keep it.
  for (;;) {
    size_t headEnd;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
      if (!ReceiveMore(socket, buffer, stopping_)) return;
    }
    const RecordedRequest request = ParseHead(std::string_view(buffer).substr(0, headEnd));
    buffer.erase(0, headEnd + 4);
    const Answer answer = Record(request);
    if (!Pause(answer.latency)) return;
    if (!Respond(socket, answer, request)) return;
  }
}

Answer TestSearchService::Record(RecordedRequest request) {
  std::lock_guard lock(mutex_);
  Answer answer = defaultAnswer_;
  if (!request.keyword) {
    answer = Answer::WithBody("<html><body><h1>Not Found</h1></body></html>", 404);
  } else {
    ++countByKeyword_[*request.keyword];
    if (auto own = answers_.find(*request.keyword); own != answers_.end()) answer = own->second;
  }
  requests_.push_back(std::move(request));
  changed_.notify_all();
  return answer;
}

bool TestSearchService::Pause(std::chrono::milliseconds duration) const {
  if (duration <= std::chrono::milliseconds::zero()) return !Stopping();
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, duration, [this] { return Stopping(); });
}

bool TestSearchService::Respond(const Socket& socket, const Answer& answer,
                                const RecordedRequest& request) {
  using Kind = Answer::Kind;
  const auto pageBody = [&] {
    return answer.body ? *answer.body : PageFor(request.keyword.value_or(std::string()));
  };
  switch (answer.kind) {
    case Kind::Page: {
      const std::string body = pageBody();
      return SendAll(socket, Head(answer.status, body.size(), answer.extraHeaders) + body,
                     stopping_);
    }
    case Kind::Redirect: {
      const int status = answer.status / 100 == 3 ? answer.status : 302;
      std::vector<std::string> headers = answer.extraHeaders;
      headers.push_back("Location: " + answer.location);
      const std::string body = "<html><body>Moved</body></html>";
      return SendAll(socket, Head(status, body.size(), headers) + body, stopping_);
    }
    case Kind::StallBeforeHeaders:
      StallUntilClosed(socket, stopping_);
      return false;
    case Kind::StallInBody:
    case Kind::DropMidBody: {
      const std::string body = pageBody();
      const std::string half = body.substr(0, body.size() / 2);
      if (!SendAll(socket, Head(answer.status, body.size(), answer.extraHeaders) + half,
                   stopping_)) {
        return false;
      }
      if (answer.kind == Kind::StallInBody) StallUntilClosed(socket, stopping_);
      ShutdownBoth(socket);
      return false;
    }
    case Kind::Stream: {
      std::string pattern = answer.body.value_or("");
      if (pattern.empty()) pattern = "<p>filler</p>\n";
      std::string piece;
      while (!pattern.empty() && piece.size() < kSendPiece) piece += pattern;
      if (!SendAll(socket, Head(answer.status, answer.streamBytes, answer.extraHeaders),
                   stopping_)) {
        return false;
      }
      for (uint64_t left = answer.streamBytes; left > 0;) {
        const size_t now = static_cast<size_t>(std::min<uint64_t>(left, piece.size()));
        if (!SendAll(socket, std::string_view(piece).substr(0, now), stopping_)) return false;
        left -= now;
      }
      return true;
    }
  }
  return false;
}

}  // namespace kelvaro::test
