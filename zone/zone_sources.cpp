#include "zone/zone_sources.h"

#include <cstring>

#include "registry/clsRegEdit.h"
#include "zone/zone_settings.h"

namespace {

constexpr std::int32_t kMachineRootKey = static_cast<std::int32_t>(0x80000002);

// What begins each line of a tip, by the source it names.
constexpr std::wstring_view kComputerPolicyLine = L"グループ ポリシー（コンピューターの構成）: ";
constexpr std::wstring_view kUserPolicyLine = L"グループ ポリシー（ユーザーの構成）: ";
constexpr std::wstring_view kMachineOnlyLine =
    L"コンピューターの設定のみを使用（グループ ポリシー）: ";
constexpr std::wstring_view kMachineLine = L"コンピューターの設定: ";
constexpr std::wstring_view kInEffectLine = L"実際に適用されている設定: ";
constexpr std::wstring_view kInEffectCause = L"（管理者またはコンピューターの設定）";

// The line that names each source, in ZoneSource order; the user's own value needs none.
constexpr std::array<std::wstring_view, 5> kSourceLines = {
    kComputerPolicyLine, kUserPolicyLine, kMachineOnlyLine, std::wstring_view(), kMachineLine};

// The policies, beneath HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: the machine-only switch
// here, a zone's values in Zones\3 beneath it.
constexpr std::wstring_view kPolicyPath =
    L"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

clsRegEdit Key(std::int32_t root, std::wstring_view path) {
    clsRegEdit key;
    key.RegKey(root);
    key.SubKey(std::wstring(path));
    return key;
}

// A value's first bytes as a little-endian number, whatever its type, as the lists read it;
// nothing where there is none or more than four bytes.
std::optional<std::int32_t> ReadValue(const clsRegEdit& key, std::wstring_view name) {
    std::vector<std::uint8_t> data;
    const std::int32_t size = key.GetBinary(name, data);
    if (size < 1 || size > 4)
        return std::nullopt;
    std::int32_t value = 0;
    std::memcpy(&value, data.data(), static_cast<std::size_t>(size));
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
    const clsRegEdit computerPolicy = Key(kMachineRootKey, policyZone);
    const clsRegEdit userPolicy = Key(kZoneRootKey, policyZone);
    const clsRegEdit user = Key(kZoneRootKey, zone);
    const clsRegEdit machine = Key(kMachineRootKey, zone);
    const bool machineOnly =
        ReadValue(Key(kMachineRootKey, kPolicyPath), L"Security_HKLM_only") == 1;
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
        return entry.empty() ? std::to_wstring(static_cast<std::uint32_t>(value))
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
