#include "zone/zone_policy.h"

#include <urlmon.h>

#include "base/system_dll.h"

void ZonePolicy::ZoneManagerTraits::Close(Handle h) {
    h->Release();
}

// The program does not link ole32 or urlmon (startup would load them).
ZonePolicy::ZonePolicy()
    : ole32_(LoadSystemDll(L"ole32.dll")), urlmon_(LoadSystemDll(L"urlmon.dll")) {
    const auto initialize = Lookup<decltype(&CoInitializeEx)>(ole32_.get(), "CoInitializeEx");
    const auto uninitialize = Lookup<decltype(&CoUninitialize)>(ole32_.get(), "CoUninitialize");
    const auto createZoneManager = Lookup<decltype(&CoInternetCreateZoneManager)>(
        urlmon_.get(), "CoInternetCreateZoneManager");
    if (!initialize || !uninitialize || !createZoneManager)
        return;
    if (FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return;
    uninitializeCom_ = uninitialize;
    IInternetZoneManager* manager = nullptr;
    if (SUCCEEDED(createZoneManager(nullptr, &manager, 0)))
        manager_.reset(manager);
}

ZonePolicy::~ZonePolicy() {
    manager_.reset();
    if (uninitializeCom_)
        uninitializeCom_();
}

std::optional<std::uint32_t> ZonePolicy::InEffect(std::uint32_t urlAction) const {
    if (!manager_)
        return std::nullopt;
    DWORD policy = 0;
    if (FAILED(manager_.get()->GetZoneActionPolicy(URLZONE_INTERNET, urlAction,
                                                   reinterpret_cast<BYTE*>(&policy), sizeof policy,
                                                   URLZONEREG_DEFAULT)))
        return std::nullopt;
    return policy;
}
