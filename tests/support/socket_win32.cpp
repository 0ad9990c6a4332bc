// Winsock for the test search service.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>

#include "tests/support/socket.h"

namespace kelvaro::test {
namespace {

SOCKET Raw(const Socket& socket) {
  return static_cast<SOCKET>(socket.Get());
}
Socket Adopt(SOCKET raw) {
  return raw == INVALID_SOCKET ? Socket() : Socket(static_cast<SocketTraits::Handle>(raw));
}

WaitResult Wait(const Socket& socket, short events, int timeoutMs) {
  WSAPOLLFD entry{Raw(socket), events, 0};
  const int ready = WSAPoll(&entry, 1, timeoutMs);
  if (ready == SOCKET_ERROR) return WaitResult::Failed;
  return ready == 0 ? WaitResult::TimedOut : WaitResult::Ready;
}

std::ptrdiff_t Result(int bytes) {
  if (bytes != SOCKET_ERROR) return bytes;
  return WSAGetLastError() == WSAEWOULDBLOCK ? kWouldBlock : kSocketFailed;
}

}  // namespace

void SocketTraits::Close(Handle socket) {
  closesocket(static_cast<SOCKET>(socket));
}

// WSAStartup and WSACleanup count, so every instance may start and end its own use.
SocketLibrary::SocketLibrary() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}
SocketLibrary::~SocketLibrary() {
  WSACleanup();
}

Socket ListenOnLoopback(uint16_t port) {
  Socket listener = Adopt(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!listener) return {};
  u_long nonBlocking = 1;  // connections accepted from it inherit this
  ioctlsocket(Raw(listener), FIONBIO, &nonBlocking);
  // Windows lets SO_REUSEADDR take over a port in use; exclusive use is the safe mode.
  const BOOL on = TRUE;
  setsockopt(Raw(listener), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
             sizeof(on));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(Raw(listener), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) return {};
  if (listen(Raw(listener), SOMAXCONN) != 0) return {};
  return listener;
}

uint16_t LocalPort(const Socket& socket) {
  sockaddr_in address{};
  int length = sizeof(address);
  if (getsockname(Raw(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

WaitResult WaitReadable(const Socket& socket, int timeoutMs) {
  return Wait(socket, POLLRDNORM, timeoutMs);
}
WaitResult WaitWritable(const Socket& socket, int timeoutMs) {
  return Wait(socket, POLLWRNORM, timeoutMs);
}

Socket Accept(const Socket& listener) {
  return Adopt(accept(Raw(listener), nullptr, nullptr));
}

std::ptrdiff_t Receive(const Socket& socket, char* buffer, size_t size) {
  return Result(recv(Raw(socket), buffer, static_cast<int>(std::min<size_t>(size, INT_MAX)), 0));
}

std::ptrdiff_t Send(const Socket& socket, std::string_view bytes) {
  return Result(send(Raw(socket), bytes.data(),
                     static_cast<int>(std::min<size_t>(bytes.size(), INT_MAX)), 0));
}

void ShutdownBoth(const Socket& socket) {
  shutdown(Raw(socket), SD_BOTH);
}

}  // namespace kelvaro::test
