#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "tests/registry/reg_test_helpers.h"
#include "tests/support/scratch_hkcu.h"
#include "zone/Module1.h"

namespace {

constexpr wchar_t kZones[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones";
const std::wstring kZone3 = std::wstring(kZones) + L"\\3";
constexpr std::array<std::int32_t, 5> kSentinels = {0x0BADF00D, 0x0BADF00D, 0x0BADF00D, 0x0BADF00D,
                                                    0x0BADF00D};
constexpr std::int32_t kMin = static_cast<std::int32_t>(0x80000000);

// The store keeps module state; every test starts it from sentinels.
class ModuleZoneTest : public ScratchHkcuTest {
  protected:
    void SetUp() override {
        Module1::ZoneValues = kSentinels;
        Module1::PendingValue = 0x0BADF00D;
    }
    void LockZone3() { SetKeySddl(kZone3, L"D:P(A;;KR;;;WD)"); }
};

class ModuleReadTest : public ModuleZoneTest {};

TEST_F(ModuleReadTest, MissingZoneKeyReadsFiveZerosAndWritesNothing) {
    PutRaw(kZones, L"other", REG_DWORD, DwordBytes(1));
    const std::wstring before = DumpTree(L"");
    ASSERT_NE(before, L"");
    Module1::ReadZoneValues();
    EXPECT_EQ(Module1::ZoneValues, (std::array<std::int32_t, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(DumpTree(L""), before);
    EXPECT_FALSE(KeyExists(kZone3));
}

TEST_F(ModuleReadTest, ReadsEachValueIntoItsPlace) {
    PutRaw(kZone3, L"1400", REG_DWORD, DwordBytes(1));
    PutRaw(kZone3, L"1402", REG_DWORD, DwordBytes(3));
    PutRaw(kZone3, L"1C00", REG_DWORD, DwordBytes(0x00020000));
    PutRaw(kZone3, L"1A02", REG_DWORD, DwordBytes(0x80000000));
    PutRaw(kZone3, L"1A03", REG_QWORD, DwordBytes(1) + DwordBytes(0)); // unreadable: 0
    PutRaw(kZone3, L"1A00", REG_DWORD, DwordBytes(9));                 // not one of ours
    Module1::ReadZoneValues();
    EXPECT_EQ(Module1::ZoneValues, (std::array<std::int32_t, 5>{1, 3, 0x20000, kMin, 0}));
}

TEST_F(ModuleReadTest, ReadOnlyZoneKeyStillReads) {
    PutRaw(kZone3, L"1400", REG_DWORD, DwordBytes(3));
    PutRaw(kZone3, L"1C00", REG_DWORD, DwordBytes(0x00800000));
    LockZone3();
    Module1::ReadZoneValues();
    EXPECT_EQ(Module1::ZoneValues, (std::array<std::int32_t, 5>{3, 0, 0x00800000, 0, 0}));
}

class ModuleWriteTest : public ModuleZoneTest {};

TEST_F(ModuleWriteTest, FirstWriteCreatesTheZoneKey) {
    std::wstring name = L"1A02";
    Module1::PendingValue = 3;
    EXPECT_TRUE(Module1::WriteZoneValue(name));
    EXPECT_EQ(DumpTree(kZones),
              std::wstring(L"[") + kZones + L"]\n[" + kZone3 + L"]\n1A02=4:03000000\n");
    EXPECT_EQ(Module1::PendingValue, -1);
    EXPECT_EQ(name, L"");
    EXPECT_EQ(Module1::ZoneValues, kSentinels);
}

TEST_F(ModuleWriteTest, RefusedWriteStillClearsPendingValueAndName) {
    PutRaw(kZone3, L"1A02", REG_DWORD, DwordBytes(0));
    LockZone3();
    const std::wstring before = DumpTree(kZone3);
    std::wstring name = L"1A02";
    Module1::PendingValue = 3;
    EXPECT_FALSE(Module1::WriteZoneValue(name));
    EXPECT_EQ(DumpTree(kZone3), before);
    EXPECT_EQ(Module1::PendingValue, -1);
    EXPECT_EQ(name, L"");
}

struct FixedSet {
    const char* what;
    std::function<bool()> write;
    std::array<std::uint32_t, 5> values; // for 1400, 1402, 1C00, 1A02, 1A03
};

const FixedSet kFixedSets[] = {
    {"WriteDefaultValues", Module1::WriteDefaultValues, {0, 0, 0x00010000, 0, 0}},
    {"WriteAllDisabled", Module1::WriteAllDisabled, {3, 3, 0, 3, 3}},
};

std::wstring DwordLine(const wchar_t* name, std::uint32_t value) {
    wchar_t line[32];
    swprintf(line, 32, L"%ls=4:%02x%02x%02x%02x\n", name, value & 0xFF, (value >> 8) & 0xFF,
             (value >> 16) & 0xFF, value >> 24);
    return line;
}

// Another value and a subkey of the same name stay as they were; the zone key is dumped in the
// registry's (sorted) order.
TEST_F(ModuleWriteTest, FixedSetsWriteExactlyTheirFiveDwords) {
    for (const FixedSet& set : kFixedSets) {
        SCOPED_TRACE(set.what);
        PutRaw(kZone3, L"1400", REG_SZ, Utf16Bytes(L"7")); // replaced, type and all
        PutRaw(kZone3, L"1A00", REG_DWORD, DwordBytes(0x10000));
        PutRaw(kZone3 + L"\\1400", L"1400", REG_DWORD, DwordBytes(1));
        Module1::PendingValue = 5;
        EXPECT_TRUE(set.write());
        std::wstring expected = L"[" + kZone3 + L"]\n";
        expected += DwordLine(L"1400", set.values[0]);
        expected += DwordLine(L"1402", set.values[1]);
        expected += DwordLine(L"1A00", 0x10000);
        expected += DwordLine(L"1A02", set.values[3]);
        expected += DwordLine(L"1A03", set.values[4]);
        expected += DwordLine(L"1C00", set.values[2]);
        expected += L"[" + kZone3 + L"\\1400]\n";
        expected += DwordLine(L"1400", 1);
        EXPECT_EQ(DumpTree(kZone3), expected);
        EXPECT_EQ(Module1::PendingValue, 5);
        EXPECT_EQ(Module1::ZoneValues, kSentinels);
    }
}

TEST_F(ModuleWriteTest, FixedSetsOnAReadOnlyKeyReportFailureAndChangeNothing) {
    PutRaw(kZone3, L"1400", REG_DWORD, DwordBytes(1));
    LockZone3();
    const std::wstring before = DumpTree(kZone3);
    for (const FixedSet& set : kFixedSets) {
        SCOPED_TRACE(set.what);
        EXPECT_FALSE(set.write());
        EXPECT_EQ(DumpTree(kZone3), before);
    }
}

TEST_F(ModuleWriteTest, WritesReportFailureWhenTheZoneKeyCannotBeCreated) {
    CreateVolatileKey(kZones);
    for (const FixedSet& set : kFixedSets) {
        SCOPED_TRACE(set.what);
        EXPECT_FALSE(set.write());
    }
    std::wstring name = L"1400";
    Module1::PendingValue = 1;
    EXPECT_FALSE(Module1::WriteZoneValue(name));
    EXPECT_EQ(Module1::PendingValue, -1);
    EXPECT_EQ(name, L"");
    EXPECT_FALSE(KeyExists(kZone3));
}

} // namespace
