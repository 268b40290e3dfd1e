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
constexpr std::int32_t kSentinel = 0x0BADF00D;
constexpr Values kSentinels = {kSentinel, kSentinel, kSentinel, kSentinel, kSentinel};

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
    const std::pair<const wchar_t*, std::string> stored[] = {
        {L"1400", DwordBytes(1)},
        {L"1402", DwordBytes(3)},
        {L"1C00", DwordBytes(0x20000)},
        {L"1A02", DwordBytes(0x80000000)},
        {L"1A03", DwordBytes(1) + DwordBytes(0)},
        {L"1A00", DwordBytes(9)}};
    for (const auto& [name, data] : stored)
        PutRaw(kZone3, name, REG_BINARY, data);
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

// Each write, on a missing zone key (which it creates), a read-only one and one that cannot be
// created: it stores its DWORDs or reports the refusal and changes nothing. WriteZoneValue
// then always leaves PendingValue -1 and the name empty; nothing touches ZoneValues.
TEST(ModuleZone, WritesStoreTheirDwordsOrReportTheRefusal) {
    const struct {
        const char* what;
        std::function<bool()> write;
        const wchar_t* values; // as the zone key's dump lists them
    } writes[] = {
        {"WriteZoneValue",
         [] {
             std::wstring name = L"1A02";
             Module1::PendingValue = 3;
             const bool written = Module1::WriteZoneValue(name);
             EXPECT_EQ(name, L"");
             EXPECT_EQ(Module1::PendingValue, -1);
             return written;
         },
         L"1A02=4:03000000\n"},
        {"WriteDefaultValues", Module1::WriteDefaultValues,
         L"1400=4:00000000\n1402=4:00000000\n1A02=4:00000000\n1A03=4:00000000\n1C00=4:00000100\n"},
        {"WriteAllDisabled", Module1::WriteAllDisabled,
         L"1400=4:03000000\n1402=4:03000000\n1A02=4:03000000\n1A03=4:03000000\n1C00=4:00000000\n"},
    };
    enum Zone { kMissing, kReadOnly, kUncreatable };
    for (const Zone zone : {kMissing, kReadOnly, kUncreatable}) {
        for (const auto& w : writes) {
            SCOPED_TRACE(testing::Message() << w.what << " on zone key state " << zone);
            const ScratchHkcu hkcu;
            if (zone == kReadOnly) {
                PutRaw(kZone3, L"1400", REG_DWORD, DwordBytes(7));
                SetKeySddl(kZone3, L"D:P(A;;KR;;;WD)");
            }
            if (zone == kUncreatable)
                CreateKey(kZones, REG_OPTION_VOLATILE);
            const std::wstring before = DumpTree(L"");
            Module1::ZoneValues = kSentinels;
            Module1::PendingValue = kSentinel;
            EXPECT_EQ(w.write(), zone == kMissing);
            EXPECT_EQ(DumpTree(zone == kMissing ? kZone3 : L""),
                      zone == kMissing ? L"[" + kZone3 + L"]\n" + w.values : before);
            EXPECT_EQ(Module1::ZoneValues, kSentinels);
        }
    }
}

} // namespace
