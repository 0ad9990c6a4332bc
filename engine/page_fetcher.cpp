// The page fetcher over FetchSearchPage; see page_fetcher.h.
#include "engine/page_fetcher.h"

namespace kelvaro {

PageFetcher SearchPageFetcher(SearchService service) {
  return
      [service = std::move(service)](const std::string& keyword, const std::atomic<bool>* cancel) {
        return FetchSearchPage(keyword, service, cancel);
      };
}

}  // namespace kelvaro
