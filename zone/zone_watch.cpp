#include "zone/zone_watch.h"

#include <string>

namespace {

struct WatchedKey {
    HKEY root;
    const wchar_t* path;
};

// In the order of ZoneKeyWatch::watches_.
const std::array<WatchedKey, 4> kWatchedKeys = {{
    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"},
    {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"},
    {HKEY_CURRENT_USER, L"Software\\Policies"},
    {HKEY_LOCAL_MACHINE, L"Software\\Policies"},
}};

// The keys the settings are read from, in the view ReadZoneSources reads: the 64-bit one.
constexpr REGSAM kNotifyAccess = KEY_NOTIFY | KEY_WOW64_64KEY;

// Watches the key with its subtree or, while it is missing, its nearest existing ancestor alone:
// that sees the next key on the way to it come. The last watch on key has fired, so closing it
// sets nothing.
void ArmWatch(const WatchedKey& watched, HANDLE event, UniqueHkey& key) {
    std::wstring path = watched.path;
    bool subtree = true;
    while (RegOpenKeyExW(watched.root, path.c_str(), 0, kNotifyAccess, key.put()) !=
               ERROR_SUCCESS &&
           !path.empty()) {
        const std::size_t parent = path.rfind(L'\\');
        path.resize(parent == std::wstring::npos ? 0 : parent);
        subtree = false;
    }
    RegNotifyChangeKeyValue(key.get(), subtree ? TRUE : FALSE,
                            REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event, TRUE);
}

} // namespace

ZoneKeyWatch::ZoneKeyWatch() {
    for (std::size_t i = 0; i < watches_.size(); ++i) {
        watches_[i].event.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (watches_[i].event)
            ArmWatch(kWatchedKeys[i], watches_[i].event.get(), watches_[i].key);
    }
}

std::vector<HANDLE> ZoneKeyWatch::Events() const {
    std::vector<HANDLE> events;
    for (const Watch& watch : watches_)
        if (watch.event)
            events.push_back(watch.event.get());
    return events;
}

void ZoneKeyWatch::Arm(HANDLE event) {
    for (std::size_t i = 0; i < watches_.size(); ++i)
        if (event && watches_[i].event.get() == event)
            ArmWatch(kWatchedKeys[i], event, watches_[i].key);
}
