#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/unique_handle.h"

struct IInternetZoneManager;

// The zone-3 policies in force, as the system's own security manager (urlmon) applies them: on
// Windows group policy, the machine-only switch and the machine's values when the user has
// none; under Wine the user's value, else the machine's. Loading COM and urlmon takes a while
// and their modules take memory, so nothing here is loaded before it is asked for, and all of
// it goes with the object.
class ZonePolicy {
  public:
    // Loads COM and urlmon and makes a zone manager; when any of that fails, InEffect knows
    // nothing. The destructor releases the manager, leaves COM and frees both modules.
    ZonePolicy();
    ~ZonePolicy();
    ZonePolicy(const ZonePolicy&) = delete;
    ZonePolicy& operator=(const ZonePolicy&) = delete;

    // The policy in force in zone 3 for a URL action (such as 0x1400); nothing when it cannot
    // be had.
    std::optional<std::uint32_t> InEffect(std::uint32_t urlAction) const;

  private:
    struct ZoneManagerTraits {
        using Handle = IInternetZoneManager*;
        static Handle Invalid() { return nullptr; }
        static void Close(Handle h);
    };

    UniqueModule ole32_;
    UniqueModule urlmon_;
    void(WINAPI* uninitializeCom_)() = nullptr; // set while COM is initialised by us
    UniqueHandle<ZoneManagerTraits> manager_;
};
