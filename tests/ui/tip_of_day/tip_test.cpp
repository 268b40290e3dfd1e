#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/scratch_hkcu.h"
#include "tests/support/ui_driver.h"
#include "ui/main_window/Form1.h"
#include "ui/runtime/app_info.h"
#include "ui/tip_of_day/frmTip.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::wstring>;
constexpr wchar_t kSetting[] = L"Show Tips at Startup";

std::wstring SettingKey() {
    return L"Software\\" + App::Title() + L"\\Options";
}

std::wstring TipsFile() {
    return App::Path() + L"\\TIPOFDAY.TXT";
}

void WriteTipsFile(const std::string& bytes) {
    const UniqueFile file(CreateFileW(TipsFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// The stored setting, or "absent".
std::wstring StoredSetting() {
    DWORD type = 0;
    std::string data;
    if (!QueryRaw(SettingKey(), kSetting, type, data) || type != REG_SZ)
        return L"absent";
    return reinterpret_cast<const wchar_t*>(data.c_str());
}

bool MainWindowShown() {
    return Form1::Instance().Loaded() && IsWindowVisible(Form1::Instance().Hwnd()) != FALSE;
}

// A tip window of its own for each test, so that TipList starts empty; the settings in a
// scratch HKEY_CURRENT_USER; no tips file until the test writes one.
class Tip : public ScratchHkcuTest {
  protected:
    void SetUp() override { RemoveTipsFile(); }
    void TearDown() override {
        CloseWindows();
        RemoveTipsFile();
    }
    static void RemoveTipsFile() {
        SetFileAttributesW(TipsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(TipsFile().c_str());
        RemoveDirectoryW(TipsFile().c_str());
    }
    void CloseWindows() {
        if (tip_.Loaded())
            tip_.Unload();
        if (Form1::Instance().Loaded())
            Form1::Instance().Unload();
        PumpFor(20);
    }
    void Show() {
        tip_.Show();
        PumpFor(50);
    }
    void Press(int button) {
        ClickCenter(tip_.Control(button));
        PumpFor(50);
    }
    std::wstring TipText() const { return tip_.Text(frmTip::lblTipText); }

    frmTip tip_;
};

// "0" closes the window at once and shows the main window; anything else, nothing or text that
// is no number opens it with the box checked, which stores "1".
TEST_F(Tip, TheStoredSettingDecidesWhetherTheWindowOpens) {
    for (const std::wstring stored :
         {L"absent", L"0", L"1", L"2", L"-1", L"abc", L"", L"1x", L"99999999999"}) {
        SCOPED_TRACE(testing::PrintToString(stored));
        if (stored != L"absent")
            PutRaw(SettingKey(), kSetting, REG_SZ, Utf16Bytes(stored));
        Show();
        const bool opens = stored != L"0";
        EXPECT_EQ(tip_.Loaded() && IsWindowVisible(tip_.Hwnd()) &&
                      tip_.Value(frmTip::chkLoadTipsAtStartup) == 1,
                  opens);
        EXPECT_EQ(MainWindowShown(), !opens);
        EXPECT_EQ(StoredSetting(), opens ? L"1" : L"0");
        CloseWindows();
    }
}

// Each click on the box stores its state. With the settings key shut to everyone the window
// still opens (reading gives the default) and the box still changes.
TEST_F(Tip, TheBoxStoresItsStateWhenItCan) {
    Show();
    for (const wchar_t* expected : {L"0", L"1", L"0"}) {
        Press(frmTip::chkLoadTipsAtStartup);
        EXPECT_EQ(StoredSetting(), expected);
    }
    CloseWindows();
    SetKeySddl(SettingKey(), L"D:P");
    Show();
    Press(frmTip::chkLoadTipsAtStartup);
    EXPECT_TRUE(tip_.Loaded() && tip_.Value(frmTip::chkLoadTipsAtStartup) == 0);
}

// Every line is one tip, in file order; the label shows the chosen tip, or its first 65,536
// characters. An empty file gives no tip and an empty label.
TEST_F(Tip, EachLineIsATipAndTheLabelShowsTheChosenOne) {
    std::string many;
    Lines manyTips;
    for (int i = 1; i <= 200; ++i) {
        many += std::to_string(i) + "\r\n";
        manyTips.push_back(std::to_wstring(i));
    }
    const struct {
        std::string bytes;
        Lines tips;
    } files[] = {
        {"First\r\n\r\nThird\r\n", {L"First", L"", L"Third"}},
        {"\x95\x5c\x8e\xa6\x82\xb7\x82\xe9 \xdc\xdd\xce\xdf\xb2\xdd\xc4\r\nLast",
         {L"表示する ﾜﾝﾎﾟｲﾝﾄ", L"Last"}},
        {"", {}},
        {many, manyTips},
        {std::string(70000, 'x'), {std::wstring(70000, L'x')}},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(testing::PrintToString(f.bytes.substr(0, 20)));
        WriteTipsFile(f.bytes);
        frmTip tip;
        tip.Show();
        const auto count = static_cast<std::int32_t>(f.tips.size());
        ASSERT_EQ(tip.TipList.Count(), f.tips.size());
        ASSERT_TRUE(tip.TipIndex >= 1 && tip.TipIndex <= std::max(count, 1));
        EXPECT_EQ(tip.Text(frmTip::lblTipText),
                  count == 0 ? L"" : f.tips[tip.TipIndex - 1].substr(0, 65536));
        for (tip.TipIndex = 1; tip.TipIndex <= count; ++tip.TipIndex) {
            tip.DisplayCurrentTip();
            EXPECT_EQ(tip.TipList.Item(tip.TipIndex), f.tips[tip.TipIndex - 1]);
            EXPECT_EQ(tip.Text(frmTip::lblTipText), f.tips[tip.TipIndex - 1].substr(0, 65536));
        }
    }
    WriteTipsFile("one\r\ntwo");
    Show();
    EXPECT_FALSE(tip_.LoadTips(L""));
    EXPECT_TRUE(tip_.LoadTips(TipsFile()));
    EXPECT_EQ(tip_.TipList.Count(), 4u); // each load adds the lines again
    EXPECT_EQ(tip_.TipList.Item(3), L"one");
}

// Without a readable tips file the label explains what to do, naming the file, and Next
// changes nothing.
TEST_F(Tip, WithoutAReadableFileTheLabelExplainsWhatToDo) {
    UniqueFile locked;
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"missing", [] { DeleteFileW(TipsFile().c_str()); }},
        {"hidden", [] { SetFileAttributesW(TipsFile().c_str(), FILE_ATTRIBUTE_HIDDEN); }},
        {"system", [] { SetFileAttributesW(TipsFile().c_str(), FILE_ATTRIBUTE_SYSTEM); }},
        {"locked",
         [&] {
             locked.reset(CreateFileW(TipsFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      0, nullptr));
         }},
        {"a folder",
         [] {
             DeleteFileW(TipsFile().c_str());
             CreateDirectoryW(TipsFile().c_str(), nullptr);
         }},
    };
    const std::wstring message =
        L"ﾌｧｲﾙ "
        L"TIPOFDAY.TXT"
        L" が見つかりませんでした。 "
        L"\r\n\r\n"
        L"「メモ帳」を使用して、1 行に 1 つのﾜﾝﾎﾟｲﾝﾄという形式でﾃｷｽﾄ ﾌｧｲﾙを作成し、"
        L"TIPOFDAY.TXT"
        L" という名前で保存してください。 "
        L"その後、そのﾌｧｲﾙをｱﾌﾟﾘｹｰｼｮﾝと同じﾌｫﾙﾀﾞに保存してください。";
    for (const auto& [what, arrange] : cases) {
        SCOPED_TRACE(what);
        RemoveTipsFile();
        WriteTipsFile("A tip\r\n");
        arrange();
        frmTip tip;
        tip.Show();
        SendMessageW(tip.Control(frmTip::cmdNextTip), BM_CLICK, 0, 0);
        EXPECT_EQ(tip.Text(frmTip::lblTipText), message);
        EXPECT_EQ(tip.TipList.Count(), 0u);
        locked.reset();
    }
}

// Every draw is one of the tips, each about equally often; each load seeds afresh from the
// clock. (Thousands of presses go through BM_CLICK rather than the input queue.)
TEST_F(Tip, TipsAreDrawnEvenlyAndEachLoadSeedsAfresh) {
    WriteTipsFile("Tip 1\r\nTip 2\r\nTip 3\r\nTip 4\r\nTip 5\r\nTip 6\r\nTip 7\r\n");
    Show();
    std::vector<int> seen(8);
    for (int draw = 0; draw < 3500; ++draw) {
        ASSERT_TRUE(tip_.TipIndex >= 1 && tip_.TipIndex <= 7) << tip_.TipIndex;
        ASSERT_EQ(TipText(), L"Tip " + std::to_wstring(tip_.TipIndex));
        ++seen[tip_.TipIndex];
        SendMessageW(tip_.Control(frmTip::cmdNextTip), BM_CLICK, 0, 0);
    }
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(seen[i] > 380 && seen[i] < 620) << "tip " << i << ": " << seen[i];
    std::string thousand;
    for (int i = 1; i <= 1000; ++i)
        thousand += std::to_string(i) + "\r\n";
    WriteTipsFile(thousand);
    std::vector<std::int32_t> first;
    for (int load = 0; load < 4; ++load, Sleep(20)) {
        frmTip tip;
        tip.Show();
        first.push_back(tip.TipIndex);
    }
    EXPECT_NE(std::count(first.begin(), first.end(), first[0]), 4);
}

// However the window closes, the main window shows; Enter on Next shows a tip instead.
TEST_F(Tip, EveryWayOfClosingShowsTheMainWindow) {
    WriteTipsFile("a\r\nb\r\n");
    const struct {
        const char* how;
        int focus; // the control that has the focus
        std::function<void()> close;
    } ways[] = {
        {"OK", frmTip::cmdOK, [&] { ClickCenter(tip_.Control(frmTip::cmdOK)); }},
        {"Enter on OK", frmTip::cmdOK, [] { PressKey(VK_RETURN); }},
        {"Enter on the box", frmTip::chkLoadTipsAtStartup, [] { PressKey(VK_RETURN); }},
        {"Escape", frmTip::cmdOK, [] { PressKey(VK_ESCAPE); }},
        {"Escape on the box", frmTip::chkLoadTipsAtStartup, [] { PressKey(VK_ESCAPE); }},
        {"title bar", frmTip::cmdOK,
         [&] { PostMessageW(tip_.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Enter on Next", frmTip::cmdNextTip, [] { PressKey(VK_RETURN); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        Show();
        Activate(tip_.Hwnd());
        for (int i = 0; i < 3 && GetFocus() != tip_.Control(way.focus); ++i) {
            PressKey(VK_TAB);
            PumpFor(30);
        }
        ASSERT_EQ(GetFocus(), tip_.Control(way.focus));
        SetWindowTextW(tip_.Control(frmTip::lblTipText), L"");
        way.close();
        const bool closes = way.focus != frmTip::cmdNextTip;
        EXPECT_TRUE(PumpUntil([&] { return closes ? !tip_.Loaded() : !TipText().empty(); }));
        EXPECT_EQ(MainWindowShown(), closes);
        CloseWindows();
    }
}

// Caption, frame and place as designed, no icon; the labels sit in the white picture, the tip
// wrapped; OK is the default button.
TEST_F(Tip, TheWindowIsLaidOutAsDesigned) {
    Show();
    const HWND window = tip_.Hwnd();
    wchar_t caption[16] = {};
    GetWindowTextW(window, caption, 16);
    EXPECT_STREQ(caption, L"ﾜﾝﾎﾟｲﾝﾄ");
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) &
                  (WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_THICKFRAME | WS_SYSMENU);
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    const UINT dpi = GetDpiForWindow(window);
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(client.left, TwipsToPixels(2370, dpi));
    EXPECT_EQ(client.top, TwipsToPixels(2400, dpi));
    EXPECT_EQ(client.right - client.left, TwipsToPixels(5415, dpi));
    EXPECT_EQ(client.bottom - client.top, TwipsToPixels(3285, dpi));
    RECT picture;
    GetWindowRect(tip_.Control(frmTip::Picture1), &picture);
    EXPECT_EQ(picture.right - picture.left, TwipsToPixels(3735, dpi));
    for (const int label : {frmTip::Label1, frmTip::lblTipText})
        EXPECT_EQ(GetParent(tip_.Control(label)), tip_.Control(frmTip::Picture1));
    EXPECT_EQ(tip_.Text(frmTip::Label1), L"便利な使い方...");
    EXPECT_EQ(GetWindowLongPtrW(tip_.Control(frmTip::lblTipText), GWL_STYLE) & SS_TYPEMASK,
              SS_LEFT);
    EXPECT_EQ(GetWindowLongPtrW(tip_.Control(frmTip::cmdOK), GWL_STYLE) & BS_TYPEMASK,
              BS_DEFPUSHBUTTON);
}

} // namespace
