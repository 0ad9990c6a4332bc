// DedupeRelatedList: removes repeated texts from the related list, keeping the
// first occurrence of each, compared byte for byte.
//
// Run by the controller at the end of a harvest and by a stop on the window
// thread. The two can meet (a stop just as the controller finishes), so every pass
// holds `passLock` from its first read of the list to its last item: the later
// pass waits and then works on the list the earlier one left. A pass on the window
// thread waits by processing the window's events, since the controller's pass
// needs the window thread to get on.
#pragma once

#include <mutex>

#include "engine/window.h"

namespace kelvaro {

// processEvents: the caller is the window thread, and the window processes its
// waiting events after every text. Otherwise the pass runs as one hand-over.
void DedupeRelatedList(Window& window, std::mutex& passLock, bool processEvents);

}  // namespace kelvaro
