// The harvest's texts; see harvest_texts.h.
#include "engine/harvest_texts.h"

namespace kelvaro {

std::string HarvestSummary(int found, int kept) {
  return "\xB2\xC9\xBC\xAF\xCD\xEA\xB3\xC9,\xCF\xE0\xB9\xD8\xB9\xD8\xBC\xFC\xD7\xD6\xB9\xB2(" +
         std::to_string(found) +
         ")\xB8\xF6,\xC5\xC5\xB3\xFD\xD6\xD8\xB8\xB4\xBA\xF3\xBB\xB9\xCA\xA3(" +
         std::to_string(kept) + ")";
}

}  // namespace kelvaro
