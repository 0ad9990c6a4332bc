// kelvaro-search-service: the test search service as a program of its own, serving the
// demo keyword graph on 127.0.0.1 until it is killed, for demonstrations and end-to-end
// runs of the front ends.
//
//   kelvaro-search-service [--port N] [--latency-ms N]
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

#include "tests/support/demo_keyword_graph.h"
#include "tests/support/search_service.h"

namespace {

bool ParseNumber(const char* text, long max, long& value) {
  try {
    size_t used = 0;
    value = std::stol(text, &used);
    return used == std::string_view(text).size() && value >= 0 && value <= max;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  long port = 0;
  long latencyMs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    const bool known = option == "--port" || option == "--latency-ms";
    if (!known || i + 1 >= argc ||
        !ParseNumber(argv[i + 1], option == "--port" ? 65535 : 3600000,
                     option == "--port" ? port : latencyMs)) {
      std::cerr << "usage: kelvaro-search-service [--port N] [--latency-ms N]\n";
      return 2;
    }
    ++i;
  }

  kelvaro::test::TestSearchService service(kelvaro::test::DemoKeywordGraph(),
                                           static_cast<uint16_t>(port));
  if (!service.Listening()) {
    std::cerr << "cannot listen on 127.0.0.1:" << port << "\n";
    return 1;
  }
  service.SetDefaultAnswer(kelvaro::test::Answer::Delayed(std::chrono::milliseconds(latencyMs)));
  std::cout << "listening on 127.0.0.1:" << service.Port() << std::endl;
  // Serves until SIGINT or SIGTERM ends the process; the system closes the sockets.
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}
