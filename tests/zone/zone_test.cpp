#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/scratch_registry.h"
#include "ui/main_window/entry_tables.h"
#include "zone/Module1.h"
#include "zone/zone_policy.h"
#include "zone/zone_sources.h"
#include "zone/zone_watch.h"

namespace {

const HKEY kUser = HKEY_CURRENT_USER;
const HKEY kMachine = HKEY_LOCAL_MACHINE;
const std::wstring kVersion = L"Software\\Microsoft\\Windows\\CurrentVersion";
const std::wstring kSettings = kVersion + L"\\Internet Settings";
const std::wstring kOther = kVersion + L"\\Other";
const std::wstring kPolicies =
    L"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::wstring kZone = kSettings + L"\\Zones\\3";
const std::wstring kPolicyZone = kPolicies + L"\\Zones\\3";

constexpr std::array<std::int32_t, 5> kSentinels = {-7, -7, -7, -7, -7};

// Each write, on a missing zone key (which it creates) and on a read-only one, stores its DWORDs
// or reports the refusal; only WriteZoneValue resets PendingValue and the name, always.
TEST(ModuleZone, WritesStoreTheirDwordsOrReportTheRefusal) {
    const struct {
        const char* what;
        std::function<bool(std::wstring&)> write;
        const wchar_t* values; // as the zone key's dump lists them
    } writes[] = {
        {"WriteZoneValue", Module1::WriteZoneValue, L"1A02=4:03000000\n"},
        {"WriteDefaultValues", [](auto&) { return Module1::WriteDefaultValues(); },
         L"1400=4:00000000\n1402=4:00000000\n1A02=4:00000000\n1A03=4:00000000\n1C00=4:00000100\n"},
        {"WriteAllDisabled", [](auto&) { return Module1::WriteAllDisabled(); },
         L"1400=4:03000000\n1402=4:03000000\n1A02=4:03000000\n1A03=4:03000000\n1C00=4:00000000\n"},
    };
    // The zone key missing, readable only, or writable but shut to changes of its permissions and
    // owner (to everyone, its owner too): writing values needs no such right.
    const wchar_t* const readOnlyKey = L"D:P(A;;KR;;;WD)";
    for (const wchar_t* sddl :
         {L"", readOnlyKey, L"D:P(D;;WDWO;;;WD)(A;;0x3003f;;;WD)(A;;0x3003f;;;OW)"}) {
        const bool readOnly = sddl == readOnlyKey;
        for (const auto& w : writes) {
            SCOPED_TRACE(testing::Message()
                         << w.what << " on the key " << (*sddl ? sddl : L"missing"));
            const ScratchKey hklm(HKEY_LOCAL_MACHINE);
            const ScratchKey hkcu;
            if (*sddl) {
                PutRaw(kZone, L"1A02", REG_DWORD, DwordBytes(7));
                SetKeySddl(kZone, sddl);
            }
            const std::wstring before = DumpTree(L"");
            std::wstring name = L"1A02";
            Module1::ZoneValues = kSentinels;
            Module1::PendingValue = 3;
            EXPECT_EQ(w.write(name), !readOnly);
            EXPECT_EQ(DumpTree(!readOnly ? kZone : L""),
                      !readOnly ? L"[" + kZone + L"]\n" + w.values : before);
            EXPECT_EQ(name.empty() && Module1::PendingValue == -1, &w == writes);
            EXPECT_EQ(Module1::ZoneValues, kSentinels);
        }
    }
}

using Step = std::pair<std::function<void()>, bool>; // a change, and whether the watch sees it
Step Raw(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type,
         const std::string& data) {
    return {[=] { RegSetKeyValueW(root, path.c_str(), name, type, data.data(), data.size()); },
            true};
}
Step Put(HKEY root, const std::wstring& path, const wchar_t* name, DWORD value) {
    return Raw(root, path, name, REG_DWORD, DwordBytes(value));
}
Step Delete(HKEY root, const std::wstring& path) {
    return {[=] { EXPECT_EQ(RegDeleteTreeW(root, path.c_str()), 0); }, true};
}

std::wstring_view ScriptEntry(std::int32_t value) {
    const auto* entry = std::ranges::find(kPolicyEntries, value, &ListEntry::value);
    return entry == std::end(kPolicyEntries) ? std::wstring_view() : entry->text;
}

// Each change to a source of 1400 is seen at once, a change elsewhere is not; the sources read
// (writing nothing) give a tip naming the one that decides and the security manager's answer.
TEST(ZoneSources, EachChangeIsSeenAndTheSourceThatDecidesIsNamed) {
    const Step user0 = Put(kUser, kZone, L"1400", 0);
    const Step user3 = Put(kUser, kZone, L"1400", 3);
    const Step machine3 = Put(kMachine, kZone, L"1400", 3);
    const Step switchOn = Put(kMachine, kPolicies, L"Security_HKLM_only", 1);
    const Step switchOff = Put(kMachine, kPolicies, L"Security_HKLM_only", 0);
    const struct {
        const char* name;
        std::vector<Step> steps;
        std::optional<std::uint32_t> inEffect;
        bool marked;
        std::wstring tip;
    } rows[] = {
        // clang-format off
        {"the user's value over the machine's, overridden", {user0, machine3},
         3, false, L"実際に適用されている設定: 無効にする（管理者またはコンピューターの設定）"},
        {"the machine's value, the user has none", {machine3, Put(kMachine, kZone, L"1400", 0)},
         {}, true, L"コンピューターの設定: 有効にする"},
        {"the user's policy, equal to the user's value",
         {user3, Put(kUser, kPolicyZone, L"1400", 3)},
         3, true, L"グループ ポリシー（ユーザーの構成）: 無効にする"},
        {"the computer's policy first, and the answer",
         {Put(kUser, kPolicyZone, L"1400", 3), Put(kMachine, kPolicyZone, L"1400", 1)},
         0, true, L"グループ ポリシー（コンピューターの構成）: 注意を表示する\r\n実際に適用されている設定: 有効にする"},
        {"the switch: the machine's value",
         {user0, Put(kUser, kPolicyZone, L"1400", 1), machine3, switchOn},
         {}, true, L"コンピューターの設定のみを使用（グループ ポリシー）: 無効にする"},
        {"the switch: the computer's policy, no entry's",
         {machine3, Put(kMachine, kPolicyZone, L"1400", 2), switchOn},
         2, true, L"コンピューターの設定のみを使用（グループ ポリシー）: 一覧にない値 (2)"},
        {"the security manager's answer with no entry", {user0},
         0xFFFFFFFF, false, L"実際に適用されている設定: 一覧にない値 (4294967295)（管理者またはコンピューターの設定）"},
        {"an unreadable machine key",
         {machine3, {[] { SetKeySddl(kZone, L"D:P", kMachine); }, false}},
         3, false, L"実際に適用されている設定: 無効にする（管理者またはコンピューターの設定）"},
        {"the user's zone key, then Zones deleted, the key created again",
         {user0, Delete(kUser, kZone), Delete(kUser, kSettings + L"\\Zones"), user3},
         0, false, L"実際に適用されている設定: 有効にする（管理者またはコンピューターの設定）"},
        {"the user's policy deleted, the switch cleared, a value outside the five",
         {Put(kUser, kPolicyZone, L"1400", 3), switchOn, Delete(kUser, L"Software\\Policies"),
          switchOff, Put(kMachine, kPolicyZone, L"1401", 1)},
         {}, false, L""},
        {"only a REG_DWORD of four bytes counts, wherever it is read",
         {Raw(kMachine, kPolicyZone, L"1400", REG_SZ, Utf16Bytes(L"1")), // four bytes
          Raw(kUser, kPolicyZone, L"1400", REG_DWORD, DwordBytes(1).substr(0, 2)),
          Raw(kUser, kZone, L"1400", REG_BINARY, DwordBytes(1)),
          Raw(kMachine, kZone, L"1400", REG_QWORD, DwordBytes(3) + DwordBytes(0)),
          Raw(kMachine, kPolicies, L"Security_HKLM_only", REG_DWORD_BIG_ENDIAN, DwordBytes(1))},
         0, false, L""},
        {"a change elsewhere", {{Put(kUser, kOther, L"1400", 1).first, false}}, {}, false, L""},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ScratchKey hklm(kMachine);
        const ScratchKey hkcu;
        CreateKey(kOther);
        switchOff.first();
        ZoneKeyWatch watch;
        for (std::size_t i = 0; i < row.steps.size(); ++i) {
            row.steps[i].first();
            // Wine signals before the change returns: what is not seen at once is never seen.
            bool seen = false;
            for (const HANDLE event : watch.Events())
                if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0)
                    seen = true, watch.Arm(event);
            EXPECT_EQ(seen, row.steps[i].second) << "step " << i;
        }
        const std::wstring tree = DumpTree(L"");
        const ZoneSnapshot read = ReadZoneSources();
        EXPECT_EQ(DumpTree(L""), tree);
        for (std::size_t i = 1; i < read.size(); ++i)
            EXPECT_EQ(read[i], (SettingSources{{}, {}, {}, {}, read[0].machineOnly})) << i;
        EXPECT_EQ(read[0].Marked(), row.marked);
        EXPECT_EQ(SourceTip(read[0], row.inEffect, ScriptEntry), row.tip);
    }
}

// The 32-bit build reads and watches the machine's value of the 64-bit view, not WOW6432Node's.
TEST(ZoneSources, TheMachinesValueIsReadAndWatchedInThe64BitView) {
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "writes the machine's zone key: run under Wine";
    const ScratchKey hkcu;
    const auto put = [](REGSAM view, DWORD value) {
        UniqueHkey key;
        RegCreateKeyExW(kMachine, kZone.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                        key.put(), nullptr);
        EXPECT_EQ(RegSetValueExW(key.get(), L"1400", 0, REG_DWORD, (const BYTE*)&value, 4), 0);
    };
    put(KEY_WOW64_32KEY, 1), put(KEY_WOW64_64KEY, 0);
    ZoneKeyWatch watch;
    put(KEY_WOW64_64KEY, 3);
    const auto seen = [](HANDLE e) { return WaitForSingleObject(e, 0) == WAIT_OBJECT_0; };
    EXPECT_TRUE(std::ranges::any_of(watch.Events(), seen)) << "a change of the 64-bit view";
    EXPECT_EQ(ReadZoneSources()[0].machine, 3) << "the 64-bit view's value is read";
}

// The process's threads and windows, message-only ones included.
std::pair<int, int> ThreadsAndWindows() {
    std::pair<int, int> count;
    const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 thread{sizeof thread, 0, 0, 0, 0, 0, 0};
    for (BOOL more = Thread32First(snapshot.get(), &thread); more;
         more = Thread32Next(snapshot.get(), &thread))
        count.first += thread.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    DWORD owner = 0;
    for (const HWND parent : {HWND{}, HWND_MESSAGE})
        for (HWND w = nullptr; (w = FindWindowExW(parent, w, nullptr, nullptr));)
            count.second +=
                GetWindowThreadProcessId(w, &owner) != 0 && owner == GetCurrentProcessId() ? 1 : 0;
    return count;
}

// The security manager is loaded for a marking pass and freed after it: nothing of it may
// outlive the pass, neither a thread nor a window that would run code of a freed module.
TEST(ZonePolicy, APassLeavesNoThreadAndNoWindowBehind) {
    const ScratchKey hkcu;
    const auto before = ThreadsAndWindows();
    for (int pass = 0; pass < 3; ++pass) {
        const ZonePolicy policy;
        EXPECT_TRUE(policy.InEffect(0x1400)) << "pass " << pass;
    }
    EXPECT_EQ(ThreadsAndWindows(), before);
}

} // namespace
