// How a user macro fills the mouse's macro block. The mouse keeps each macro
// in one 128-byte block: two bytes of repeat count, then the events, each in
// the short form (2 bytes, delay in 10 ms units up to 1279 ms) or the long
// form (4 bytes, delay in 50 ms units). Events that do not fit whole are not
// sent, and neither is anything after them, so the macro never plays out of
// order. The encoder (monitor/device/device_reports.h) and the macro editor
// both ask these functions, so what the editor shows is what the mouse gets.
//
//   MacroBlockFit fit = macro_block_fit(record.events, record.event_count);
//   if (fit.events_sent < record.event_count) ... rows from fit.events_sent on stay on the PC
#pragma once

#include <cstdint>

#include "common/settings_record.h"

namespace mt {

constexpr int kMacroBlockBytes = 128;
constexpr int kMacroBlockHeaderBytes = 2;  // repeat count, high byte first

// True when the event's delay needs the 4-byte form (delay / 10 above 127).
constexpr bool macro_event_is_long(const MacroEvent& event) { return event.delay / 10u > 127u; }
// Bytes the event takes in the block: 2 or 4.
constexpr int macro_event_bytes(const MacroEvent& event) { return macro_event_is_long(event) ? 4 : 2; }

struct MacroBlockFit {
  int events_sent = 0;   // the first events_sent events reach the mouse
  int bytes_used = kMacroBlockHeaderBytes;    // header + the events sent, at most 128
  int bytes_needed = kMacroBlockHeaderBytes;  // header + every event, sent or not
};

// The fit of the first `count` events; count is read as 0..60 whatever it says.
MacroBlockFit macro_block_fit(const MacroEvent* events, int count);

}  // namespace mt
