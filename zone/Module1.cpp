#include "zone/Module1.h"

#include <optional>

#include "registry/clsRegEdit.h"
#include "zone/zone_settings.h"

namespace Module1 {

std::array<std::int32_t, 5> ZoneValues{};
std::int32_t PendingValue = 0;
static_assert(std::tuple_size_v<decltype(ZoneValues)> == kZoneSettings.size());

namespace {

// The editor lives for one operation only: created on first use, released at the end, so
// every operation starts from a fresh object and holds no key between operations.
std::optional<clsRegEdit> ZoneRegEdit;

clsRegEdit& RegEdit() {
    if (!ZoneRegEdit)
        ZoneRegEdit.emplace();
    return *ZoneRegEdit;
}

void PointAtZoneKey() {
    RegEdit().RegKey(kZoneRootKey);
    RegEdit().SubKey(std::wstring(kZoneKeyPath));
}

// Writes one column of kZoneSettings, all five values even after a failure.
bool WriteFixedSet(std::int32_t ZoneSetting::*column) {
    PointAtZoneKey();
    bool allWritten = true;
    for (const ZoneSetting& setting : kZoneSettings)
        allWritten = RegEdit().SetDWORD(setting.valueName, setting.*column) && allWritten;
    ZoneRegEdit.reset();
    return allWritten;
}

} // namespace

void ReadZoneValues() {
    PointAtZoneKey();
    for (std::size_t i = 0; i < kZoneSettings.size(); ++i)
        ZoneValues[i] = RegEdit().GetDWORD(kZoneSettings[i].valueName, 0);
    ZoneRegEdit.reset();
}

bool WriteZoneValue(std::wstring& valueName) {
    PointAtZoneKey();
    const bool written = RegEdit().SetDWORD(valueName, PendingValue);
    ZoneRegEdit.reset();
    PendingValue = -1;
    valueName.clear();
    return written;
}

bool WriteDefaultValues() {
    return WriteFixedSet(&ZoneSetting::defaultValue);
}

bool WriteAllDisabled() {
    return WriteFixedSet(&ZoneSetting::disabledValue);
}

} // namespace Module1
