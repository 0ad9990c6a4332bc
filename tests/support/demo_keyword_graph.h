// A small keyword graph for demonstrations and end-to-end runs: a few dozen Chinese
// and ASCII keywords, several levels deep, with keywords that recur on several pages
// (so a harvest has repeats to remove) and some with spaces and "+" (so the encoding
// of the query shows).
#pragma once

#include <string>
#include <vector>

#include "tests/support/search_service.h"

namespace kelvaro::test {

// The graph, keywords in CP936.
KeywordGraph DemoKeywordGraph();
// Good seed keywords for it, in CP936.
std::vector<std::string> DemoSeedKeywords();

}  // namespace kelvaro::test
