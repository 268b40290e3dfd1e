#include "zone/zone_sources.h"

#include <windows.h>

#include "base/unique_handle.h"
#include "zone/zone_settings.h"

namespace {

// What begins each line of a tip, by the source it names.
constexpr std::wstring_view kComputerPolicyLine = L"グループ ポリシー（コンピューターの構成）: ";
constexpr std::wstring_view kUserPolicyLine = L"グループ ポリシー（ユーザーの構成）: ";
constexpr std::wstring_view kMachineOnlyLine =
    L"コンピューターの設定のみを使用（グループ ポリシー）: ";
constexpr std::wstring_view kMachineLine = L"コンピューターの設定: ";
constexpr std::wstring_view kInEffectLine = L"実際に適用されている設定: ";
constexpr std::wstring_view kInEffectCause = L"（管理者またはコンピューターの設定）";
// Names a value that no entry of the list stands for, before its number (in halfwidth
// parentheses, as a number is written in a Japanese text).
constexpr std::wstring_view kNoEntry = L"一覧にない値";

// The line that names each source, in ZoneSource order; the user's own value needs none.
constexpr std::array<std::wstring_view, 5> kSourceLines = {
    kComputerPolicyLine, kUserPolicyLine, kMachineOnlyLine, std::wstring_view(), kMachineLine};

// The policies, beneath HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: the machine-only switch
// here, a zone's values in Zones\3 beneath it.
constexpr std::wstring_view kPolicyPath =
    L"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Opens a key of the sources with read rights in the registry's 64-bit view, as the system
// reads them; null where it is missing or may not be read.
UniqueHkey Key(HKEY root, std::wstring_view path) {
    UniqueHkey key;
    RegOpenKeyExW(root, std::wstring(path).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                  key.put());
    return key;
}

// A value as the system stores these settings: a REG_DWORD of four bytes. Anything else (no key,
// no value, another type or size) counts as missing, wherever it is read.
std::optional<std::int32_t> ReadValue(const UniqueHkey& key, std::wstring_view name) {
    std::int32_t value = 0;
    DWORD size = sizeof value;
    DWORD type = REG_NONE;
    if (!key ||
        RegQueryValueExW(key.get(), std::wstring(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

} // namespace

ZoneSource SettingSources::DecidedBy() const {
    if (machineOnly)
        return ZoneSource::MachineOnly;
    if (computerPolicy)
        return ZoneSource::ComputerPolicy;
    if (userPolicy)
        return ZoneSource::UserPolicy;
    return user || !machine ? ZoneSource::User : ZoneSource::Machine;
}

std::int32_t SettingSources::Decided() const {
    if (machineOnly)
        return computerPolicy.value_or(machine.value_or(0));
    return computerPolicy.value_or(userPolicy.value_or(user.value_or(machine.value_or(0))));
}

ZoneSnapshot ReadZoneSources() {
    const std::wstring zone(kZoneKeyPath);
    const std::wstring policyZone = std::wstring(kPolicyPath) + L"\\Zones\\3";
    const UniqueHkey computerPolicy = Key(HKEY_LOCAL_MACHINE, policyZone);
    const UniqueHkey userPolicy = Key(HKEY_CURRENT_USER, policyZone);
    const UniqueHkey user = Key(HKEY_CURRENT_USER, zone);
    const UniqueHkey machine = Key(HKEY_LOCAL_MACHINE, zone);
    const bool machineOnly =
        ReadValue(Key(HKEY_LOCAL_MACHINE, kPolicyPath), L"Security_HKLM_only") == 1;
    ZoneSnapshot snapshot;
    for (std::size_t i = 0; i < snapshot.size(); ++i) {
        const std::wstring_view name = kZoneSettings[i].valueName;
        snapshot[i] = {ReadValue(computerPolicy, name), ReadValue(userPolicy, name),
                       ReadValue(user, name), ReadValue(machine, name), machineOnly};
    }
    return snapshot;
}

std::wstring SourceTip(const SettingSources& sources, std::optional<std::uint32_t> inEffect,
                       const std::function<std::wstring_view(std::int32_t)>& entryText) {
    const auto name = [&](std::int32_t value) {
        const std::wstring_view entry = entryText(value);
        return entry.empty() ? std::wstring(kNoEntry) + L" (" +
                                   std::to_wstring(static_cast<std::uint32_t>(value)) + L")"
                             : std::wstring(entry);
    };
    std::wstring tip(kSourceLines.at(static_cast<std::size_t>(sources.DecidedBy())));
    if (!tip.empty())
        tip += name(sources.Decided());
    // Decided() is what the line before says or, without one, what the list shows.
    if (inEffect && static_cast<std::int32_t>(*inEffect) != sources.Decided()) {
        const bool explained = !tip.empty();
        tip += std::wstring(explained ? L"\r\n" : L"") + std::wstring(kInEffectLine) +
               name(static_cast<std::int32_t>(*inEffect)) +
               std::wstring(explained ? std::wstring_view() : kInEffectCause);
    }
    return tip;
}
