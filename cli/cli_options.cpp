#include "cli/cli_options.h"

#include <cctype>
#include <string_view>

#include "engine/edit_number.h"

namespace kelvaro {
namespace {

bool TakesValue(std::string_view option) {
  return option == "--seeds" || option == "--depth" || option == "--workers" ||
         option == "--output" || option == "--service" || option == "--encoding";
}

}  // namespace

CliParse ParseCommandLine(const std::vector<std::string>& args) {
  CliParse parse;
  CliOptions& options = parse.options;
  bool onlySeeds = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (onlySeeds || arg.empty() || arg[0] != '-' || arg == "-") {
      options.seeds.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlySeeds = true;
      continue;
    }
    std::optional<std::string> value;
    if (const size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
      value = arg.substr(equals + 1);
      arg.resize(equals);
    }
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "-q" || arg == "--quiet") {
      options.quiet = true;
    } else if (TakesValue(arg)) {
      if (!value) {
        if (i + 1 >= args.size()) {
          parse.error = "option " + arg + " needs a value";
          return parse;
        }
        value = args[++i];
      }
      if (arg == "--seeds") {
        options.seedsFile = std::filesystem::u8path(*value);
      } else if (arg == "--depth") {
        options.depthText = *value;
      } else if (arg == "--workers") {
        options.workersText = *value;
      } else if (arg == "--output") {
        if (value->empty()) {
          parse.error = "option --output needs a file name";
          return parse;
        }
        options.outputFile = std::filesystem::u8path(*value);
      } else if (arg == "--service") {
        if (!ParseServiceUrl(*value)) {
          parse.error = "--service: not an http address: " + *value;
          return parse;
        }
        options.serviceUrl = *value;
      } else if (arg == "--encoding") {
        if (*value == "utf-8" || *value == "utf8" || *value == "UTF-8") {
          options.fileEncoding = KeywordFileEncoding::Utf8;
        } else if (*value == "cp936" || *value == "gbk" || *value == "CP936" || *value == "GBK") {
          options.fileEncoding = KeywordFileEncoding::Cp936;
        } else {
          parse.error = "--encoding: unknown encoding " + *value + " (use cp936 or utf-8)";
          return parse;
        }
      }
    } else {
      parse.error = "unknown option " + arg + " (see --help)";
      return parse;
    }
  }
  return parse;
}

std::optional<ServiceAddress> ParseServiceUrl(std::string_view url) {
  if (url.starts_with("http://")) {
    url.remove_prefix(7);
  } else if (url.find("://") != std::string_view::npos) {
    return std::nullopt;  // only plain HTTP is spoken
  }
  if (const size_t slash = url.find('/'); slash != std::string_view::npos) {
    if (url.substr(slash) != "/") return std::nullopt;
    url = url.substr(0, slash);
  }
  ServiceAddress address;
  if (const size_t colon = url.rfind(':'); colon != std::string_view::npos) {
    const std::string_view port = url.substr(colon + 1);
    if (port.empty() || port.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : port) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
      value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    address.port = static_cast<uint16_t>(value);
    url = url.substr(0, colon);
  }
  if (url.empty()) return std::nullopt;
  for (char c : url) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') return std::nullopt;
  }
  address.host = std::string(url);
  return address;
}

bool IsWholeNumber(std::string_view cp936) {
  // Fold the full-width digits, signs and the ideographic space as the boxes do,
  // then allow blanks, one sign, digits, blanks.
  std::string folded;
  for (size_t i = 0; i < cp936.size(); ++i) {
    const auto lead = static_cast<unsigned char>(cp936[i]);
    const auto trail = i + 1 < cp936.size() ? static_cast<unsigned char>(cp936[i + 1]) : 0;
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      folded.push_back(static_cast<char>(trail - 0x80));
      ++i;
    } else if (lead == 0xA1 && trail == 0xA1) {
      folded.push_back(' ');
      ++i;
    } else {
      folded.push_back(static_cast<char>(lead));
    }
  }
  size_t p = 0;
  auto blank = [&](size_t at) {
    return at < folded.size() && std::isspace(static_cast<unsigned char>(folded[at]));
  };
  while (blank(p)) ++p;
  if (p < folded.size() && (folded[p] == '+' || folded[p] == '-')) ++p;
  const size_t digitsStart = p;
  while (p < folded.size() && std::isdigit(static_cast<unsigned char>(folded[p]))) ++p;
  if (p == digitsStart) return false;
  while (blank(p)) ++p;
  return p == folded.size();
}

std::string UsageText() {
  return "usage: kelvaro-cli [options] [KEYWORD...]\n"
         "Harvests the related searches of the seed keywords, level by level.\n"
         "\n"
         "Seeds come from the KEYWORD arguments, from --seeds FILE, or else from standard\n"
         "input (one keyword per line).\n"
         "\n"
         "  --seeds FILE      keyword file, one per line (CR LF), as the window imports it;\n"
         "                    - reads standard input\n"
         "  --depth N         levels to fetch (default: config.ini beside the program, else 1)\n"
         "  --workers N       worker threads (default: config.ini, else 20; 0 means 20)\n"
         "  --output FILE     write the related keywords to FILE (CR LF lines) instead of\n"
         "                    standard output\n"
         "  --encoding ENC    encoding of --seeds and --output files: cp936 (default) or utf-8\n"
         "  --service URL     search service address, http://host[:port] (default: the\n"
         "                    program's search host)\n"
         "  -q, --quiet       no progress and no summary on standard error\n"
         "  -h, --help        this text\n"
         "      --version     the program's version\n"
         "\n"
         "Ctrl+C stops the harvest, writes what was found so far and exits with status 130;\n"
         "a second Ctrl+C exits at once. Bad usage exits with status 2.\n";
}

}  // namespace kelvaro
