// How a search task gets a result page: a keyword in, the page as CP936 text out
// (empty when the request failed). A front end builds it with SearchPageFetcher for
// the service it talks to; tests may pass any function. `cancel`, when given, is set
// once the harvest is called off, and a fetch should then return soon.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "engine/search_request.h"

namespace kelvaro {

using PageFetcher =
    std::function<std::string(const std::string& keyword, const std::atomic<bool>* cancel)>;

// FetchSearchPage against `service`.
PageFetcher SearchPageFetcher(SearchService service);

}  // namespace kelvaro
