#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "tests/support/child_process.h"
#include "tests/support/ui_driver.h"
#include "tests/ui/main_window/main_window_driver.h"
#include "ui/runtime/runtime.h"

namespace {

const std::wstring kAllow = L"有効にする";
const std::wstring kPrompt = L"注意を表示する";
const std::wstring kDisable = L"無効にする";

// Each list's entries and the value each must store.
const std::vector<std::pair<std::wstring, std::uint32_t>> kPolicyPicks = {
    {kPrompt, 1}, {kAllow, 0}, {kDisable, 3}};
const std::vector<std::pair<std::wstring, std::uint32_t>> kJavaPicks = {
    {L"安全性-高", 0x10000},
    {L"安全性-中", 0x20000},
    {L"安全性-低", 0x30000},
    {kDisable, 0},
    {L"カスタム設定", 0x800000}};

std::array<std::optional<std::uint32_t>, 5> AllStored() {
    std::array<std::optional<std::uint32_t>, 5> values;
    for (size_t i = 0; i < kLists.size(); ++i) {
        DWORD type = 0;
        std::string data;
        if (QueryRaw(kZonePath, kLists[i].valueName, type, data) && type == REG_DWORD &&
            data.size() == 4)
            values[i] = *reinterpret_cast<const std::uint32_t*>(data.data());
    }
    return values;
}

std::array<std::wstring, 5> AllTexts() {
    std::array<std::wstring, 5> texts;
    for (size_t i = 0; i < kLists.size(); ++i)
        texts[i] = Form1::Instance().Text(kLists[i].list);
    return texts;
}

// The HKEY_CURRENT_USER tree without the five zone values: what no session may change.
std::wstring TreeWithoutZoneValues() {
    std::wistringstream in(DumpTree(L""));
    std::wstring out;
    std::wstring line;
    bool inZoneKey = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == L'[')
            inZoneKey = line == L"[\\" + kZonePath + L"]";
        bool zoneValue = false;
        for (const ListUnderTest& l : kLists)
            zoneValue |= inZoneKey && line.rfind(std::wstring(l.valueName) + L"=", 0) == 0;
        if (!zoneValue)
            out += line + L"\n";
    }
    return out;
}

class MainWindowBehaviour : public MainWindowTest {
  protected:
    void StoreAll(std::uint32_t policy, std::uint32_t java) {
        for (const ListUnderTest& l : kLists)
            Store(l.valueName, l.java ? java : policy);
    }
};

TEST_F(MainWindowBehaviour, WithNoZoneKeyPoliciesShowAllowAndJavaShowsDisabled) {
    Open();
    EXPECT_EQ(AllTexts(), (std::array<std::wstring, 5>{kAllow, kAllow, kDisable, kAllow, kAllow}));
    for (const ListUnderTest& l : kLists) // shown and selected, but not picked
        EXPECT_EQ(Form1::Instance().ListIndex(l.list), l.java ? 3 : 1);
    EXPECT_FALSE(KeyExists(kZonePath)); // loading writes nothing
}

TEST_F(MainWindowBehaviour, StoredValuesMissingFromTheTablesLeaveTheirListsEmpty) {
    Store(L"1400", 2);
    Store(L"1402", 1);
    Store(L"1C00", 0x00040000);
    PutRaw(kZonePath, L"1A02", REG_SZ, std::string("1\0", 2)); // reads as 49
    Store(L"1A03", 0xFFFFFFFF);
    const std::wstring before = DumpTree(L"");
    Open();
    EXPECT_EQ(AllTexts(), (std::array<std::wstring, 5>{L"", kPrompt, L"", L"", L""}));
    EXPECT_EQ(DumpTree(L""), before);
}

TEST_F(MainWindowBehaviour, CustomJavaValueShowsCustom) {
    Store(L"1C00", 0x00800000);
    Open();
    EXPECT_EQ(ListText(Form1::co_java_java), L"カスタム設定");
}

TEST_F(MainWindowBehaviour, EveryEntryPickedWritesItsValueToItsOwnNameOnly) {
    StoreAll(1, 0x20000);
    Open();
    bool useMouse = true;
    for (size_t i = 0; i < kLists.size(); ++i) {
        const auto& picks = kLists[i].java ? kJavaPicks : kPolicyPicks;
        for (size_t entry = 0; entry < picks.size(); ++entry) {
            SCOPED_TRACE(testing::Message() << "list " << i << " entry " << entry
                                            << (useMouse ? " by mouse" : " by keyboard"));
            auto expected = AllStored();
            expected[i] = picks[entry].second;
            if (useMouse)
                PickWithMouse(kLists[i].list, static_cast<int>(entry));
            else
                PickWithKeyboard(kLists[i].list, static_cast<int>(entry));
            useMouse = !useMouse;
            EXPECT_EQ(ListText(kLists[i].list), picks[entry].first);
            EXPECT_EQ(AllStored(), expected);
        }
    }
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(QueryRaw(kZonePath, L"1C00", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(MainWindowBehaviour, PickingTheShownEntryStillWritesIt) {
    // Stored as four raw bytes, 3 reads as "無効にする"; picking that entry again must write
    // it, which shows as the value becoming a REG_DWORD. (The registry does not signal a
    // rewrite of identical data, so the type is what tells.)
    StoreAll(3, 0);
    PutRaw(kZonePath, L"1A03", REG_BINARY, std::string("\3\0\0\0", 4));
    Open();
    ASSERT_EQ(ListText(Form1::co_cookie_session), kDisable);
    PickWithMouse(Form1::co_cookie_session, 2);
    EXPECT_EQ(Stored(L"1A03"), 3u);
}

TEST_F(MainWindowBehaviour, AnsweringNoWritesNothingAndChangesNoList) {
    StoreAll(1, 0x30000);
    Open();
    const std::wstring tree = DumpTree(L"");
    const auto texts = AllTexts();
    MessageBoxAnswerer answerer(IDNO);
    Press(Form1::com_reset);
    Press(Form1::Command1);
    ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == 2; }));
    PumpFor(50);
    const auto seen = answerer.Seen();
    EXPECT_EQ(seen[0].title, L"既定値設定");
    EXPECT_EQ(seen[0].text, L"既定値に戻してもよろしいですか？");
    EXPECT_EQ(seen[1].title, L"全無効設定");
    EXPECT_EQ(seen[1].text, L"全て無効にしてもよろしいですか？");
    for (const SeenMessageBox& box : seen) {
        EXPECT_TRUE(box.hasYes && box.hasNo);
        EXPECT_FALSE(box.hasOk);
        EXPECT_EQ(box.owner, Window());
        EXPECT_EQ(box.defaultButton, IDYES);
        EXPECT_TRUE(box.icon);
    }
    EXPECT_EQ(DumpTree(L""), tree);
    EXPECT_EQ(AllTexts(), texts);
}

TEST_F(MainWindowBehaviour, YesWritesTheFixedSetAndShowsItsEntries) {
    StoreAll(1, 0x30000);
    Open();
    MessageBoxAnswerer answerer(IDYES);
    Press(Form1::com_reset);
    ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == 1; }));
    PumpFor(50);
    EXPECT_EQ(AllStored(), (std::array<std::optional<std::uint32_t>, 5>{0, 0, 0x10000, 0, 0}));
    EXPECT_EQ(AllTexts(),
              (std::array<std::wstring, 5>{kAllow, kAllow, L"安全性-高", kAllow, kAllow}));

    Press(Form1::Command1);
    ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == 2; }));
    PumpFor(50);
    EXPECT_EQ(AllStored(), (std::array<std::optional<std::uint32_t>, 5>{3, 3, 0, 3, 3}));
    EXPECT_EQ(AllTexts(),
              (std::array<std::wstring, 5>{kDisable, kDisable, kDisable, kDisable, kDisable}));
}

TEST_F(MainWindowBehaviour, TypingIntoAListChangesNeitherItNorTheRegistry) {
    StoreAll(0, 0x10000);
    Open();
    const std::wstring tree = DumpTree(L"");
    const auto texts = AllTexts();
    for (const ListUnderTest& l : kLists) {
        SetFocus(ListWindow(l.list));
        PumpFor(10);
        TypeText(L"abcXYZ 123あ");
        PressKey(VK_BACK);
        PressKey(VK_RETURN);
        PressKey('Q');
        PumpFor(50);
    }
    EXPECT_EQ(AllTexts(), texts);
    EXPECT_EQ(DumpTree(L""), tree);
}

TEST_F(MainWindowBehaviour, AReadOnlyZoneKeyShowsWhatIsStoredAndSaysWhenAWriteIsRefused) {
    StoreAll(3, 0x30000);
    Store(L"1A03", 2); // matches no entry
    SetKeySddl(kZonePath, L"D:P(A;;KR;;;WD)");
    const std::wstring tree = DumpTree(L"");
    Open();
    const std::array<std::wstring, 5> stored = {kDisable, kDisable, L"安全性-低", kDisable, L""};
    EXPECT_EQ(AllTexts(), stored);

    MessageBoxAnswerer answerer(IDYES);
    PickWithMouse(Form1::co_java_script, 1);
    ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == 1; }));
    PumpFor(100);
    SeenMessageBox refusal = answerer.Seen()[0];
    EXPECT_EQ(refusal.text, L"設定を保存できませんでした。");
    EXPECT_EQ(refusal.title, L"QUELM");
    EXPECT_TRUE(refusal.hasOk && !refusal.hasYes && !refusal.hasNo);
    EXPECT_EQ(refusal.owner, Window());
    EXPECT_EQ(AllTexts(), stored); // back to the stored value

    for (const int button : {Form1::com_reset, Form1::Command1}) {
        const size_t before = answerer.Seen().size();
        Press(button);
        ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == before + 2; }));
        PumpFor(150);
        EXPECT_EQ(answerer.Seen().size(), before + 2); // the question, then one refusal
        EXPECT_EQ(answerer.Seen().back().text, L"設定を保存できませんでした。");
        EXPECT_EQ(AllTexts(), stored);
    }
    EXPECT_EQ(DumpTree(L""), tree);
}

TEST_F(MainWindowBehaviour, ASessionChangesNothingButTheFiveValues) {
    StoreAll(1, 0x10000);
    const std::wstring before = TreeWithoutZoneValues();
    Open();
    PickWithMouse(Form1::co_java_applet, 2);
    PickWithKeyboard(Form1::co_java_java, 4);
    {
        MessageBoxAnswerer yes(IDYES);
        Press(Form1::Command1);
        ASSERT_TRUE(PumpUntil([&] { return yes.Seen().size() == 1; }));
    }
    {
        MessageBoxAnswerer no(IDNO);
        Press(Form1::com_reset);
        ASSERT_TRUE(PumpUntil([&] { return no.Seen().size() == 1; }));
    }
    SetFocus(ListWindow(Form1::co_cookie_cookie));
    TypeText(L"zz");
    PumpFor(50);
    Form1::Instance().Unload();
    PumpFor(20);
    EXPECT_EQ(AllStored(), (std::array<std::optional<std::uint32_t>, 5>{3, 3, 0, 3, 3}));
    EXPECT_EQ(TreeWithoutZoneValues(), before);
}

// The whole program in a child process, as wWinMain runs it.
CHILD_SCENARIO(MainWindowProgram) {
    ScratchHkcu hkcu;
    Form1::Instance().Show();
    return Runtime::Run();
}

HWND MainWindowOf(const ChildProcess& child) {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            found = FindWindowW(nullptr, L"QUELM");
            DWORD pid = 0;
            GetWindowThreadProcessId(found, &pid);
            return found != nullptr && pid == child.Id() && IsWindowVisible(found) != FALSE;
        },
        10000);
    return found;
}

TEST(MainWindowEnding, TheExitButtonEndsTheProgramWithCodeZero) {
    ChildProcess child("MainWindowProgram");
    const HWND window = MainWindowOf(child);
    ASSERT_TRUE(window);
    const HWND exitButton = FindWindowExW(window, nullptr, L"Button", L"終了");
    ASSERT_TRUE(exitButton);
    ClickCenter(exitButton);
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(child.ExitCode(), 0u);
}

TEST(MainWindowEnding, ClosingFromTheTitleBarEndsTheProgram) {
    ChildProcess child("MainWindowProgram");
    const HWND window = MainWindowOf(child);
    ASSERT_TRUE(window);
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(child.ExitCode(), 0u);
}

} // namespace
