// Linux: the GET through libcurl, driven through a multi handle by our own loop.
//
// curl_easy_perform only looks back at its callbacks about once a second while a
// connection is idle, too coarse for the idle time-outs and for a prompt cancellation.
// Our loop waits on the connection at most kPollMs at a time and checks both itself.
// libcurl has no idle time-out of its own: the connect time-out is curl's, and once a
// connection stands any stretch in which no byte arrives for longer than the receive
// time-out ends the fetch. The request is a few hundred bytes that the socket's buffer
// takes at once, so the send time-out has nothing to bound here; WinHTTP uses it.
#include <curl/curl.h>

#include <chrono>

#include "platform/http_client.h"
#include "platform/unique_handle.h"

namespace kelvaro {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPollMs = 25;
constexpr const char* kUserAgent =
    "Mozilla/5.0 (Windows; U; Windows NT 6.1; en-US) AppleWebKit/534.10 (KHTML, like Gecko) "
    "Chrome/7.0.536.2 Safari/534.10";

struct CurlTraits {
  using Handle = CURL*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { curl_easy_cleanup(handle); }
};
struct CurlMultiTraits {
  using Handle = CURLM*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { curl_multi_cleanup(handle); }
};
struct CurlListTraits {
  using Handle = curl_slist*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { curl_slist_free_all(handle); }
};

// Keeps an easy handle in a multi handle for one scope; removing it ends a transfer
// that is still running.
class MultiAttachment {
 public:
  MultiAttachment(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) {
    attached_ = curl_multi_add_handle(multi, easy) == CURLM_OK;
  }
  ~MultiAttachment() {
    if (attached_) curl_multi_remove_handle(multi_, easy_);
  }
  MultiAttachment(const MultiAttachment&) = delete;
  MultiAttachment& operator=(const MultiAttachment&) = delete;
  explicit operator bool() const { return attached_; }

 private:
  CURLM* multi_;
  CURL* easy_;
  bool attached_;
};

// The state the callbacks share with the loop; all on the fetching thread.
struct Transfer {
  std::string body;
  size_t maxBodyBytes = 0;
  bool connected = false;  // a connection stands: the idle time-out applies
  Clock::time_point lastActivity = Clock::now();
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  transfer.lastActivity = Clock::now();
  const size_t bytes = size * count;
  const size_t room = transfer.maxBodyBytes - std::min(transfer.maxBodyBytes, transfer.body.size());
  transfer.body.append(data, std::min(bytes, room));
  return bytes <= room ? bytes : 0;  // anything short of `bytes` ends the transfer
}

size_t OnHeader(char*, size_t size, size_t count, void* user) {
  static_cast<Transfer*>(user)->lastActivity = Clock::now();
  return size * count;
}

// A new socket is about to connect (the first or a redirect's): the connect time-out
// is in charge until the connection stands.
int OnNewSocket(void* user, curl_socket_t, curlsocktype) {
  static_cast<Transfer*>(user)->connected = false;
  return CURL_SOCKOPT_OK;
}

// A connection stands (new or reused) and the request is about to go out.
int OnConnected(void* user, char*, char*, int, int) {
  auto& transfer = *static_cast<Transfer*>(user);
  transfer.connected = true;
  transfer.lastActivity = Clock::now();
  return CURL_PREREQFUNC_OK;
}

bool CurlReady() {
  // curl_global_init is not safe to race; a function-local static runs it once.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

}  // namespace

std::string HttpGet(const HttpGetRequest& request) {
  if (!CurlReady() || Cancelled(request.cancel)) return {};
  UniqueHandle<CurlMultiTraits> multi(curl_multi_init());
  UniqueHandle<CurlTraits> easy(curl_easy_init());
  if (!multi || !easy) return {};

  // Our own Accept and Host replace curl's; curl adds nothing else to a plain GET.
  UniqueHandle<CurlListTraits> headers;
  for (const std::string& line :
       {std::string("Accept: */*"), "Host: " + std::string(request.host)}) {
    curl_slist* extended = curl_slist_append(headers.Get(), line.c_str());
    if (extended == nullptr) return {};
    headers.Release();
    headers.Reset(extended);
  }

  Transfer transfer;
  transfer.maxBodyBytes = request.maxBodyBytes;
  const std::string url = "http://" + std::string(request.host) + ":" +
                          std::to_string(request.port) + std::string(request.target);
  CURL* handle = easy.Get();
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.Get());
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
  // An empty proxy turns off the *_proxy environment variables as well.
  curl_easy_setopt(handle, CURLOPT_PROXY, "");
  curl_easy_setopt(handle, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_SOCKOPTFUNCTION, OnNewSocket);
  curl_easy_setopt(handle, CURLOPT_SOCKOPTDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(handle, CURLOPT_PREREQDATA, &transfer);
  // No cookie engine is switched on (no CURLOPT_COOKIEFILE), so cookies that a
  // response sets are never sent back, not even on a redirect.

  const auto idleLimit = std::chrono::milliseconds(request.receiveTimeoutMs);
  MultiAttachment attachment(multi.Get(), handle);
  if (!attachment) return {};
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi.Get(), &running) != CURLM_OK || running == 0) break;
    if (Cancelled(request.cancel)) break;
    if (transfer.connected && Clock::now() - transfer.lastActivity > idleLimit) break;
    if (curl_multi_poll(multi.Get(), nullptr, 0, kPollMs, nullptr) != CURLM_OK) break;
  }
  // Whatever ended the transfer, the body holds what arrived of the final response.
  return std::move(transfer.body);
}

}  // namespace kelvaro
