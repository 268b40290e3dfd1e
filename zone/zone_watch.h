#pragma once

#include <windows.h>

#include "base/unique_handle.h"

// Watches the zone key (zone_settings.h) for changes by anyone: its values set, added or
// deleted, and the key itself created or deleted. A deleted key signals nothing to a watch on
// itself (so Wine), so the watch is on the nearest existing ancestor of the zone key, with
// its subtree.
class ZoneKeyWatch {
  public:
    // Starts watching. Without an event (the system refused one) nothing is watched.
    ZoneKeyWatch();

    // An auto-reset event, set after a change.
    HANDLE Event() const { return event_.get(); }
    // Watches on after the event was set (a watch fires once), from the nearest existing
    // ancestor as it is now.
    void Arm();

  private:
    UniqueKernelHandle event_;
    UniqueHkey key_;
};
