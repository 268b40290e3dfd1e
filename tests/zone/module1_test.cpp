#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "tests/support/scratch_registry.h"
#include "zone/Module1.h"

namespace {

using Values = std::array<std::int32_t, 5>;
const std::wstring kZone3 =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";
constexpr Values kSentinels = {-7, -7, -7, -7, -7};

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
    for (const bool readOnly : {false, true}) {
        for (const auto& w : writes) {
            SCOPED_TRACE(testing::Message() << w.what << (readOnly ? " on a read-only key" : ""));
            const ScratchKey hklm(HKEY_LOCAL_MACHINE);
            const ScratchKey hkcu;
            if (readOnly) {
                PutRaw(kZone3, L"1400", REG_DWORD, DwordBytes(7));
                SetKeySddl(kZone3, L"D:P(A;;KR;;;WD)");
            }
            const std::wstring before = DumpTree(L"");
            std::wstring name = L"1A02";
            Module1::ZoneValues = kSentinels;
            Module1::PendingValue = 3;
            EXPECT_EQ(w.write(name), !readOnly);
            EXPECT_EQ(DumpTree(!readOnly ? kZone3 : L""),
                      !readOnly ? L"[" + kZone3 + L"]\n" + w.values : before);
            EXPECT_EQ(name.empty() && Module1::PendingValue == -1, &w == writes);
            EXPECT_EQ(Module1::ZoneValues, kSentinels);
        }
    }
}

} // namespace
