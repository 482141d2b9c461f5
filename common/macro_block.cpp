#include "common/macro_block.h"

namespace mt {

MacroBlockFit macro_block_fit(const MacroEvent* events, int count) {
  MacroBlockFit fit;
  if (count < 0) count = 0;
  if (count > kMaxMacroEvents) count = kMaxMacroEvents;
  bool stopped = false;
  for (int i = 0; i < count; ++i) {
    const int n = macro_event_bytes(events[i]);
    fit.bytes_needed += n;
    // The first event that does not fit whole ends the block.
    if (!stopped && fit.bytes_used + n <= kMacroBlockBytes) {
      fit.bytes_used += n;
      ++fit.events_sent;
    } else {
      stopped = true;
    }
  }
  return fit;
}

}  // namespace mt
