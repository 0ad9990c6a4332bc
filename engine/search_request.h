// The search page request: one keyword in, the search service's result page out, as
// code-page-936 text ready for the related-search extraction.
//
// The three stages are separate functions so each can be tested alone: the percent-
// encoding of the keyword's CP936 bytes, the HTTP GET (platform/http_client.h) and the
// UTF-8 to CP936 decoding of the body. The endpoint and the time-outs are a value the
// caller passes, so the program uses the real service and the tests a loopback one.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvaro {

inline constexpr std::string_view kSearchHost = "www.baidu.com";

// Where the result pages come from and how long each wait of a fetch may take.
struct SearchService {
  std::string host = std::string(kSearchHost);
  uint16_t port = 80;
  int connectTimeoutMs = 8000;
  int sendTimeoutMs = 8000;
  int receiveTimeoutMs = 8000;
  // A body is cut here and the part gathered so far is used, so a server that never
  // stops sending cannot exhaust the memory of a harvest with many workers.
  size_t maxBodyBytes = size_t{64} << 20;
};

// Two uppercase hexadecimal digits: 10 gives "0A", 255 gives "FF".
std::string EncodeByte(unsigned char byte);

// Percent-encodes every byte except * - . 0-9 @ A-Z _ a-z. Bytes are judged one by one,
// so a trail byte in an unchanged range stays literal: 說 (D5 66) gives "%D5f".
std::string EncodeQuery(std::string_view keyword);

// The body taken as UTF-8 and converted to CP936, up to its first NUL. Malformed input
// and characters CP936 lacks become substitutes; this never fails.
std::string DecodePage(std::string_view body);

// GET "/s?wd=" + EncodeQuery(keyword) from the service, decoded. Never fails: any failure
// of the request gives the empty text, a failure while reading keeps what was gathered.
// Setting *cancel makes a running fetch return early where the platform allows it.
std::string FetchSearchPage(std::string_view keyword, const SearchService& service = {},
                            const std::atomic<bool>* cancel = nullptr);

}  // namespace kelvaro
