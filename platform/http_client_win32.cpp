// Windows: the GET through WinHTTP, synchronously.
//
// Under Wine a blocked receive cannot be interrupted from another thread (closing the
// handle does not end it), so every wait is bounded by the time-outs instead and a
// cancellation is only seen between reads. Wine bounds a server that accepts and then
// says nothing only with WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT on the request besides
// the session's receive time-out, so both are set.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>

#include "platform/code_page.h"
#include "platform/http_client.h"
#include "platform/unique_handle.h"

namespace kelvaro {
namespace {

constexpr const wchar_t* kUserAgent =
    L"Mozilla/5.0 (Windows; U; Windows NT 6.1; en-US) AppleWebKit/534.10 (KHTML, like Gecko) "
    L"Chrome/7.0.536.2 Safari/534.10";

struct InternetTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { WinHttpCloseHandle(handle); }
};
using Internet = UniqueHandle<InternetTraits>;

std::wstring Widen(std::string_view text) {
  const std::u16string wide = Utf8ToWide(text);
  return std::wstring(wide.begin(), wide.end());
}

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

// Adds a header, replacing one of the same name that WinHTTP would send.
void SetHeader(HINTERNET request, const std::wstring& line) {
  WinHttpAddRequestHeaders(request, line.c_str(), static_cast<DWORD>(line.size()),
                           WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
}

}  // namespace

std::string HttpGet(const HttpGetRequest& request) {
  if (Cancelled(request.cancel)) return {};
  const std::wstring host = Widen(request.host);
  const std::wstring target = Widen(request.target);

  // Declared in this order so the request closes first and the session last.
  Internet session(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return {};
  // Name resolution counts towards connecting, so an unresolvable host is bounded too.
  WinHttpSetTimeouts(session.Get(), request.connectTimeoutMs, request.connectTimeoutMs,
                     request.sendTimeoutMs, request.receiveTimeoutMs);
  Internet connection(WinHttpConnect(session.Get(), host.c_str(), request.port, 0));
  if (!connection) return {};
  // No Referer, no Accept types of its own, and a fresh answer, not one from a cache.
  Internet get(WinHttpOpenRequest(connection.Get(), L"GET", target.c_str(), nullptr,
                                  WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                  WINHTTP_FLAG_REFRESH));
  if (!get) return {};
  DWORD disabled = WINHTTP_DISABLE_COOKIES;
  WinHttpSetOption(get.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof(disabled));
  DWORD responseTimeout = static_cast<DWORD>(request.receiveTimeoutMs);
  WinHttpSetOption(get.Get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                   sizeof(responseTimeout));
  SetHeader(get.Get(), L"Accept: */*");
  SetHeader(get.Get(), L"Host: " + host);

  // Redirects are followed inside these calls; the status code does not matter.
  if (!WinHttpSendRequest(get.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                          0, 0) ||
      !WinHttpReceiveResponse(get.Get(), nullptr)) {
    return {};
  }

  std::string body;
  while (!Cancelled(request.cancel) && body.size() < request.maxBodyBytes) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(get.Get(), &available) || available == 0) break;
    const size_t take = std::min<size_t>(available, request.maxBodyBytes - body.size());
    const size_t old = body.size();
    body.resize(old + take);
    DWORD read = 0;
    const BOOL ok = WinHttpReadData(get.Get(), &body[old], static_cast<DWORD>(take), &read);
    body.resize(old + (ok ? read : 0));
    if (!ok || read == 0) break;
  }
  return body;
}

}  // namespace kelvaro
