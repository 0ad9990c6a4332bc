// One plain HTTP GET, the only kind of request the program makes.
//
// The request on the wire is fixed: the request line, a browser's User-Agent,
// "Accept: */*" and a Host header without port, nothing else the client could add
// (no cookies, no Referer, no Accept-Encoding, no body). Redirects are followed, no
// proxy is used whatever the environment says, nothing is cached. The status code is
// ignored: whatever body the final response has is the result.
//
// libcurl on Linux, WinHTTP on Windows. Each call has its own client state; calls on
// different threads share nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvaro {

struct HttpGetRequest {
  std::string_view host;  // a name or a dotted address; sent as the Host header
  uint16_t port = 80;
  std::string_view target = "/";  // the request target, from the path on
  int connectTimeoutMs = 8000;
  int sendTimeoutMs = 8000;
  int receiveTimeoutMs = 8000;
  // The body is cut at this many bytes and what was gathered is kept, as after a
  // failure while reading.
  size_t maxBodyBytes = size_t{64} << 20;
  // When set from another thread, the fetch stops and keeps what it has. Linux only:
  // WinHTTP under Wine cannot interrupt a blocked receive, so there a fetch runs to
  // its time-outs.
  const std::atomic<bool>* cancel = nullptr;
};

// The body of the final response. Empty when the request could not be sent (name not
// resolved, connection refused, a time-out before the response); a failure while
// reading the body, a cancellation or the size limit ends it with what was gathered.
std::string HttpGet(const HttpGetRequest& request);

}  // namespace kelvaro
