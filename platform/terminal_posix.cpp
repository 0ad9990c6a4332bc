// Linux: the locale's character set. UTF-8 (and the plain C locale, whose bytes are in
// practice UTF-8 too) goes through the code-page layer; any other set through iconv.
#include <iconv.h>
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <iostream>
#include <iterator>

#include "platform/code_page.h"
#include "platform/iconv_handle.h"
#include "platform/terminal.h"

namespace kelvaro {
namespace {

bool LocaleIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset == nullptr || std::strcmp(codeset, "UTF-8") == 0 ||
         std::strcmp(codeset, "ANSI_X3.4-1968") == 0;
}

// Converts between the locale's set and CP936; bytes that do not convert become "?".
std::string Convert(std::string_view text, const char* to, const char* from) {
  Iconv converter(iconv_open(to, from));
  if (!converter) return std::string(text);
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof(buffer);
    const size_t result = iconv(converter.Get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      out.push_back('?');  // skip one byte that has no conversion
      ++in;
      --inLeft;
    }
  }
  return out;
}

int Descriptor(StandardStream stream) {
  switch (stream) {
    case StandardStream::Input:
      return STDIN_FILENO;
    case StandardStream::Output:
      return STDOUT_FILENO;
    case StandardStream::Error:
      return STDERR_FILENO;
  }
  return STDERR_FILENO;
}

}  // namespace

void InitTerminal() {
  std::setlocale(LC_ALL, "");
}

bool IsTerminal(StandardStream stream) {
  return isatty(Descriptor(stream)) == 1;
}

std::string TerminalToAnsi(std::string_view text) {
  if (LocaleIsUtf8()) return WideToAnsi(Utf8ToWide(text));
  return Convert(text, "CP936", nl_langinfo(CODESET));
}

std::string AnsiToTerminal(std::string_view cp936) {
  if (LocaleIsUtf8()) return WideToUtf8(AnsiToWide(cp936));
  return Convert(cp936, nl_langinfo(CODESET), "CP936");
}

void WriteTerminal(StandardStream stream, std::string_view text) {
  const int fd = Descriptor(stream);
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(static_cast<size_t>(written));
  }
}

std::string ReadAllStandardInput() {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, buffer, sizeof(buffer));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace kelvaro
