#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Where a zone-3 setting in force comes from. For a zone's URL actions the system takes the
// first it finds of: the computer's policy, the user's policy, the user's own value, the
// machine's value. With the policy "Security Zones: Use only machine settings" on
// (Security_HKLM_only = 1), only the computer's policy and the machine's value count, for every
// user.
enum class ZoneSource { ComputerPolicy, UserPolicy, MachineOnly, User, Machine };

// One setting's value in each place the order reads; nothing where the key or value is missing
// or cannot be read, or the value is not a REG_DWORD of four bytes.
struct SettingSources {
    std::optional<std::int32_t> computerPolicy;
    std::optional<std::int32_t> userPolicy;
    std::optional<std::int32_t> user; // the list's value, where it is a DWORD (0 when missing)
    std::optional<std::int32_t> machine;
    bool machineOnly = false;

    bool operator==(const SettingSources&) const = default;

    // The source that decides; the user's own also where nothing is stored anywhere.
    ZoneSource DecidedBy() const;
    // The value of that source (with the machine-only switch the computer's policy, else the
    // machine's value); 0 where it holds none, as the lists show a missing value.
    std::int32_t Decided() const;
    // True when the setting is marked whatever the security manager answers: something other
    // than the user's own value decides, a policy even where it agrees with that value.
    bool Marked() const { return DecidedBy() != ZoneSource::User; }
};

// The sources of the five settings in kZoneSettings order: equal snapshots show the same.
using ZoneSnapshot = std::array<SettingSources, 5>;

// Reads every source of the five settings with read access only; writes nothing.
ZoneSnapshot ReadZoneSources();

// The tip on a setting's label and list, one line each, empty when there is nothing to say.
// First the source that decides with its value, unless it is the user's own; then the policy in
// force as the security manager answers it (inEffect), where that differs from the line before
// or, without one, from the list. entryText names a value by its list's entry, or gives nothing
// where no entry stands for it: then the tip says "一覧にない値 (2)", with its number.
std::wstring SourceTip(const SettingSources& sources, std::optional<std::uint32_t> inEffect,
                       const std::function<std::wstring_view(std::int32_t)>& entryText);
