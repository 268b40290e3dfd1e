#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Where the Internet zone (zone 3) keeps the current user's settings: HKEY_CURRENT_USER, as the
// predefined handle value clsRegEdit::RegKey takes, and the zone's key beneath it.
inline constexpr std::int32_t kZoneRootKey = static_cast<std::int32_t>(0x80000001);
inline constexpr std::wstring_view kZoneKeyPath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";

// One managed setting: its DWORD value name (the URL action code in upper-case hex), that code,
// and what the two fixed sets write to it. URL policy codes: 0 allow, 1 prompt, 3 disallow; Java
// permission codes ("1C00"): 0 disabled, 0x10000 high, 0x20000 medium, 0x30000 low safety,
// 0x800000 custom.
struct ZoneSetting {
    std::wstring_view valueName;
    std::uint32_t urlAction;
    std::int32_t defaultValue;  // "既定値"
    std::int32_t disabledValue; // "全無効"
};

// The five settings, in the order of Module1::ZoneValues and of every write of a fixed set.
inline constexpr std::array<ZoneSetting, 5> kZoneSettings{{
    {L"1400", 0x1400, 0, 3},          // URLACTION_SCRIPT_RUN
    {L"1402", 0x1402, 0, 3},          // URLACTION_SCRIPT_JAVA_USE
    {L"1C00", 0x1C00, 0x00010000, 0}, // URLACTION_JAVA_PERMISSIONS: 0 is its disabled state, not 3
    {L"1A02", 0x1A02, 0, 3},          // URLACTION_COOKIES
    {L"1A03", 0x1A03, 0, 3},          // URLACTION_COOKIES_SESSION
}};
