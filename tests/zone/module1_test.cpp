#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "tests/support/scratch_hkcu.h"
#include "zone/Module1.h"

namespace {

using Values = std::array<std::int32_t, 5>;
const std::wstring kZones =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones";
const std::wstring kZone3 = kZones + L"\\3";
constexpr Values kSentinels = {-7, -7, -7, -7, -7};

// The five values land in their places, whatever their type; one that is missing or unreadable
// (8 bytes) reads as 0, and so do all five without a zone key, which reading does not create.
// A key the user may only read still reads.
TEST(ModuleZone, ReadsEachValueIntoItsPlace) {
    const ScratchHkcu hkcu;
    PutRaw(kZones, L"other", REG_DWORD, DwordBytes(1));
    const std::wstring before = DumpTree(L"");
    Module1::ReadZoneValues();
    EXPECT_EQ(Module1::ZoneValues, (Values{0, 0, 0, 0, 0}));
    EXPECT_EQ(DumpTree(L""), before);
    const wchar_t* const names[] = {L"1400", L"1402", L"1C00", L"1A02", L"1A03", L"1A00"};
    const std::uint32_t stored[] = {1, 3, 0x20000, 0x80000000, 1, 9};
    for (int i = 0; i < 6; ++i)
        PutRaw(kZone3, names[i], REG_BINARY, DwordBytes(stored[i]) + (i == 4 ? "\1\2\3\4" : ""));
    for (const bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "read-only key" : "writable key");
        if (locked)
            SetKeySddl(kZone3, L"D:P(A;;KR;;;WD)");
        Module1::ZoneValues = kSentinels;
        Module1::ReadZoneValues();
        EXPECT_EQ(Module1::ZoneValues,
                  (Values{1, 3, 0x20000, static_cast<std::int32_t>(0x80000000), 0}));
    }
}

// Each write, on a missing zone key (which it creates) and on a read-only one: it stores its
// DWORDs or reports the refusal and changes nothing. WriteZoneValue
// always leaves PendingValue -1 and the name empty; nothing else touches them or ZoneValues.
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
            const ScratchHkcu hkcu;
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
