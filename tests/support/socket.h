// The few socket calls the test search service needs, over POSIX sockets or Winsock.
//
// Every wait is bounded (WaitReadable/WaitWritable), so the service's threads can look
// at their stop mark between waits and never hang in a call that nothing interrupts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/unique_handle.h"

namespace kelvaro::test {

// A socket descriptor (int) or SOCKET, widened so one header serves both.
struct SocketTraits {
  using Handle = std::uintptr_t;
  static Handle Invalid() { return ~Handle{0}; }
  static void Close(Handle socket);
};
using Socket = UniqueHandle<SocketTraits>;

// Keeps the platform's socket library started while it lives (Winsock needs it).
class SocketLibrary {
 public:
  SocketLibrary();
  ~SocketLibrary();
  SocketLibrary(const SocketLibrary&) = delete;
  SocketLibrary& operator=(const SocketLibrary&) = delete;
};

// A listening, non-blocking TCP socket on 127.0.0.1; port 0 picks a free one. Invalid on
// failure.
Socket ListenOnLoopback(uint16_t port);
// The local port a socket is bound to; 0 when it cannot be had.
uint16_t LocalPort(const Socket& socket);

enum class WaitResult { Ready, TimedOut, Failed };
WaitResult WaitReadable(const Socket& socket, int timeoutMs);
WaitResult WaitWritable(const Socket& socket, int timeoutMs);

// Sockets are non-blocking: a call that would wait returns at once, so a peer that
// stops reading can never hold a thread in send().
inline constexpr std::ptrdiff_t kWouldBlock = -2;
inline constexpr std::ptrdiff_t kSocketFailed = -1;

// A connection waiting on the listening socket, non-blocking; invalid when none waits.
Socket Accept(const Socket& listener);
// Bytes received (> 0), 0 when the peer closed, kWouldBlock or kSocketFailed.
std::ptrdiff_t Receive(const Socket& socket, char* buffer, size_t size);
// Bytes sent (> 0), kWouldBlock or kSocketFailed; a closed peer never raises a signal.
std::ptrdiff_t Send(const Socket& socket, std::string_view bytes);
// Ends both directions; a blocked peer sees the connection end.
void ShutdownBoth(const Socket& socket);

}  // namespace kelvaro::test
