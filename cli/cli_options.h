// The command line of kelvaro-cli, parsed into what a run needs. Parsing checks only
// the shape of the arguments; files and the service are checked by the run itself,
// before any request is sent.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "lists/keyword_file_encoding.h"

namespace kelvaro {

struct CliOptions {
  std::vector<std::string> seeds;                  // from the arguments, in the terminal's encoding
  std::optional<std::filesystem::path> seedsFile;  // "-" reads standard input
  std::optional<std::string> depthText;            // as typed; read like the window's box
  std::optional<std::string> workersText;
  std::optional<std::filesystem::path> outputFile;
  std::optional<std::string> serviceUrl;
  // Seeds files are read like the window's import (CP936, or UTF-8 where it is plainly
  // UTF-8) unless --encoding names one; output files are CP936 unless it says utf-8.
  KeywordFileEncoding fileEncoding = KeywordFileEncoding::Detect;
  bool quiet = false;
  bool help = false;
  bool version = false;
};

struct CliParse {
  CliOptions options;
  std::string error;  // one line naming the problem; empty when the line was fine
};

CliParse ParseCommandLine(const std::vector<std::string>& args);

// Host and port of a --service value: "http://host[:port][/]" or "host[:port]".
struct ServiceAddress {
  std::string host;
  uint16_t port = 80;
};
std::optional<ServiceAddress> ParseServiceUrl(std::string_view url);

// A number the way the settings boxes read it, but only when the whole text is one
// (blanks around it allowed): "3" and "３" are, "3x" and "" are not.
bool IsWholeNumber(std::string_view cp936);

std::string UsageText();

}  // namespace kelvaro
