#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "base/unique_handle.h"

// Watches every key the settings in force are read from (zone_sources.h) for changes by anyone:
// the user's and the machine's zone keys, and the user's and the computer's policies with the
// machine-only switch. Each is watched with its subtree from a key the system keeps (Internet
// Settings, Software\Policies), so that keys deleted and created again beneath it are seen:
// under Wine a deleted key signals nothing to a watch on itself. Where such a key is missing
// (Wine has no Software\Policies for the user), the watch waits for it to come.
class ZoneKeyWatch {
  public:
    // Starts watching. A key whose event the system refused is not watched.
    ZoneKeyWatch();

    // The auto-reset events, one per watched key, each set after a change beneath its key.
    std::vector<HANDLE> Events() const;
    // Watches on beneath the key whose event was set (a watch fires once).
    void Arm(HANDLE event);

  private:
    struct Watch {
        UniqueKernelHandle event;
        UniqueHkey key;
    };
    std::array<Watch, 4> watches_;
};
