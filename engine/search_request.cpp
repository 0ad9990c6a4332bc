// Encoding of the query, decoding of the page and the fetch that joins them.
#include "engine/search_request.h"

#include <array>

#include "platform/code_page.h"
#include "platform/http_client.h"

namespace kelvaro {
namespace {

// The bytes that stand for themselves in the query: * - . 0-9 @ A-Z _ a-z.
constexpr std::array<bool, 256> MakeUnchangedTable() {
  std::array<bool, 256> table{};
  for (int c = '0'; c <= '9'; ++c) table[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
  for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
  for (unsigned char c : std::string_view("*-.@_")) table[c] = true;
  return table;
}
constexpr std::array<bool, 256> kUnchanged = MakeUnchangedTable();

}  // namespace

std::string EncodeByte(unsigned char byte) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string EncodeQuery(std::string_view keyword) {
  std::string encoded;
  encoded.reserve(keyword.size() * 3);
  for (const char c : keyword) {
    const auto byte = static_cast<unsigned char>(c);
    if (kUnchanged[byte]) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += EncodeByte(byte);
    }
  }
  return encoded;
}

std::string DecodePage(std::string_view body) {
  // Text never holds a NUL: a page with one ends there. In UTF-8 only the NUL character
  // has a zero byte, and its CP936 form is the only zero byte there, so cutting the body
  // first gives the same text without converting the rest.
  body = body.substr(0, body.find('\0'));
  if (body.empty()) return {};
  return WideToAnsi(Utf8ToWide(body));
}

std::string FetchSearchPage(std::string_view keyword, const SearchService& service,
                            const std::atomic<bool>* cancel) {
  const std::string target = "/s?wd=" + EncodeQuery(keyword);
  const std::string body = HttpGet({.host = service.host,
                                    .port = service.port,
                                    .target = target,
                                    .connectTimeoutMs = service.connectTimeoutMs,
                                    .sendTimeoutMs = service.sendTimeoutMs,
                                    .receiveTimeoutMs = service.receiveTimeoutMs,
                                    .maxBodyBytes = service.maxBodyBytes,
                                    .cancel = cancel});
  return DecodePage(body);
}

}  // namespace kelvaro
