// POSIX sockets for the test search service.
#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/socket.h"

namespace kelvaro::test {
namespace {

int Fd(const Socket& socket) {
  return static_cast<int>(socket.Get());
}
Socket Adopt(int fd) {
  return fd < 0 ? Socket() : Socket(static_cast<SocketTraits::Handle>(fd));
}

WaitResult Wait(const Socket& socket, short events, int timeoutMs) {
  pollfd entry{Fd(socket), events, 0};
  const int ready = poll(&entry, 1, timeoutMs);
  if (ready < 0) return WaitResult::Failed;
  return ready == 0 ? WaitResult::TimedOut : WaitResult::Ready;
}

std::ptrdiff_t Result(ssize_t bytes) {
  if (bytes >= 0) return bytes;
  return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? kWouldBlock : kSocketFailed;
}

}  // namespace

void SocketTraits::Close(Handle socket) {
  close(static_cast<int>(socket));
}

SocketLibrary::SocketLibrary() = default;
SocketLibrary::~SocketLibrary() = default;

Socket ListenOnLoopback(uint16_t port) {
  Socket listener = Adopt(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!listener) return {};
  const int on = 1;
  setsockopt(Fd(listener), SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(Fd(listener), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) return {};
  if (listen(Fd(listener), SOMAXCONN) != 0) return {};
  return listener;
}

uint16_t LocalPort(const Socket& socket) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  if (getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

WaitResult WaitReadable(const Socket& socket, int timeoutMs) {
  return Wait(socket, POLLIN, timeoutMs);
}
WaitResult WaitWritable(const Socket& socket, int timeoutMs) {
  return Wait(socket, POLLOUT, timeoutMs);
}

Socket Accept(const Socket& listener) {
  return Adopt(accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
}

std::ptrdiff_t Receive(const Socket& socket, char* buffer, size_t size) {
  return Result(recv(Fd(socket), buffer, size, 0));
}

std::ptrdiff_t Send(const Socket& socket, std::string_view bytes) {
  return Result(send(Fd(socket), bytes.data(), bytes.size(), MSG_NOSIGNAL));
}

void ShutdownBoth(const Socket& socket) {
  shutdown(Fd(socket), SHUT_RDWR);
}

}  // namespace kelvaro::test
