#include "zone/zone_watch.h"

#include <string>

#include "zone/zone_settings.h"

ZoneKeyWatch::ZoneKeyWatch() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    Arm();
}

void ZoneKeyWatch::Arm() {
    if (!event_)
        return;
    // The last watch has fired, so closing its key sets nothing.
    std::wstring path(kZoneKeyPath);
    do {
        const size_t parent = path.rfind(L'\\');
        path.resize(parent == std::wstring::npos ? 0 : parent);
    } while (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_NOTIFY, key_.put()) !=
                 ERROR_SUCCESS &&
             !path.empty());
    RegNotifyChangeKeyValue(key_.get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                            event_.get(), TRUE);
}
