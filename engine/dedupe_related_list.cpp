// DedupeRelatedList; see dedupe_related_list.h.
#include "engine/dedupe_related_list.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

namespace kelvaro {
namespace {

// The texts seen so far; texts are equal only when equal byte for byte.
using SeenSet = std::unordered_set<std::string_view>;

void DedupePass(Window& window, bool processEvents) {
  const int count = window.ListCount(ListId::RelatedKeywords);
  std::vector<std::string> texts;
  texts.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) texts.push_back(window.ListText(ListId::RelatedKeywords, i));
  window.ListClear(ListId::RelatedKeywords);
  SeenSet seen;
  seen.reserve(texts.size());
  for (const std::string& text : texts) {
    if (seen.insert(text).second) window.ListAdd(ListId::RelatedKeywords, text);
    if (processEvents) window.ProcessEvents();
  }
}

}  // namespace

void DedupeRelatedList(Window& window, std::mutex& passLock, bool processEvents) {
  std::unique_lock pass(passLock, std::defer_lock);
  if (processEvents) {
    while (!pass.try_lock()) {
      window.ProcessEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    DedupePass(window, true);
  } else {
    pass.lock();
    // One hand-over: nothing reaches the list between the copy and the rebuild.
    window.Invoke([&] { DedupePass(window, false); });
  }
}

}  // namespace kelvaro
