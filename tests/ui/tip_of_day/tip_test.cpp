#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/resource_ids.h"
#include "base/text.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/ui_driver.h"
#include "ui/main_window/Form1.h"
#include "ui/runtime/app_info.h"
#include "ui/runtime/dpi.h"
#include "ui/runtime/settings.h"
#include "ui/runtime/text_file.h"
#include "ui/tip_of_day/frmTip.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::wstring>;
const std::wstring kSettingKey = L"Software\\" + App::Title() + L"\\Options";
const std::filesystem::path kTipsFile = App::Path() + L"\\TIPOFDAY.TXT";

// Each test has a tip window of its own (TipList empty), scratch settings, and no tips file.
class Tip : public ScratchRegistryTest {
  protected:
    void SetUp() override { std::filesystem::remove_all(kTipsFile); }
    void TearDown() override { CloseWindows(), std::filesystem::remove_all(kTipsFile); }
    static void WriteTipsFile(const std::string& bytes) {
        std::ofstream(kTipsFile, std::ios::binary) << bytes;
    }
    static std::wstring StoredSetting() {
        return GetSetting(App::Title(), L"Options", L"Show Tips at Startup", L"absent");
    }
    static bool MainWindowShown() {
        return Form1::Instance().Loaded() && IsWindowVisible(Form1::Instance().Hwnd()) != FALSE;
    }
    void CloseWindows() {
        for (Form* form : {static_cast<Form*>(&tip_), static_cast<Form*>(&Form1::Instance())})
            if (form->Loaded())
                form->Unload();
        PumpFor(50);
    }
    std::wstring TipText() const { return tip_.Text(frmTip::lblTipText); }

    frmTip tip_;
};

// "0" shows the main window instead; anything else opens the window with the box checked, which
// stores "1"; each click stores the box's state; a key shut to everyone changes only the storing.
TEST_F(Tip, TheStoredSettingDecidesWhetherTheWindowOpens) {
    for (const std::wstring stored : {L"absent", L"0", L"1", L"2", L"-1", L"abc", L"", L"1x",
                                      L"99999999999", L"REG_DWORD 0x30"}) {
        SCOPED_TRACE(testing::PrintToString(stored));
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingKey.c_str(), L"Show Tips at Startup");
        if (stored == L"REG_DWORD 0x30") // the bytes of the text "0", but no text
            PutRaw(kSettingKey, L"Show Tips at Startup", REG_DWORD, DwordBytes(0x30));
        else if (stored != L"absent")
            PutRaw(kSettingKey, L"Show Tips at Startup", REG_SZ, Utf16Bytes(stored));
        tip_.Show();
        const bool opens = stored != L"0";
        const bool shown = tip_.Loaded() && IsWindowVisible(tip_.Hwnd()) != FALSE;
        EXPECT_EQ(shown, opens);
        EXPECT_EQ(MainWindowShown(), !opens);
        EXPECT_EQ(shown && tip_.Value(frmTip::chkLoadTipsAtStartup) == 1, opens);
        EXPECT_EQ(StoredSetting(), opens ? L"1" : L"0");
        CloseWindows();
    }
    tip_.Show();
    for (const wchar_t* expected : {L"0", L"1", L"0"}) {
        ClickCenter(tip_.Control(frmTip::chkLoadTipsAtStartup));
        EXPECT_TRUE(PumpUntil([&] { return StoredSetting() == expected; }));
    }
    CloseWindows();
    SetKeySddl(kSettingKey, L"D:P");
    tip_.Show();
    ClickCenter(tip_.Control(frmTip::chkLoadTipsAtStartup));
    EXPECT_TRUE(PumpUntil([&] { return tip_.Value(frmTip::chkLoadTipsAtStartup) == 0; }));
}

// A line ends at CR or CR LF; a lone LF stays in it, nothing is trimmed (表 ends in 5C), bytes
// that are no Shift-JIS stay in their line (a lead byte must not take the CR). The file is read
// in pieces (one CR LF split between two, a longer line cut inside characters). The label shows
// the chosen tip's first 65,536 characters; each load adds the lines; draws are even.
TEST_F(Tip, EachLineIsATipAndTheLabelShowsTheChosenOne) {
    std::pair<std::string, Lines> pieces = {std::string(TextFile::kChunkBytes - 1, 'a') + "\r\nbb",
                                            {std::wstring(TextFile::kChunkBytes - 1, L'a'), L"bb"}};
    for (std::size_t i = 0; i < TextFile::kChunkBytes; ++i)
        pieces.first += "\x82\xa0";
    pieces.second.back() += std::wstring(TextFile::kChunkBytes, L'あ');
    for (int i = 0; i < 30000; ++i) {
        pieces.first += (i % 3 ? "\r\n" : "\r") + std::to_string(i);
        pieces.second.push_back(std::to_wstring(i));
    }
    const auto sjis = [](auto b, std::wstring t = {}) { return AppendFromCodePage(932, b, t), t; };
    const std::pair<std::string, Lines> files[] = {
        {"", {}},
        {"\r\r\n\r", {L"", L"", L""}},
        {" a\nb \t\r\nc\r\n\n", {L" a\nb \t", L"c", L"\n"}},
        {"\x95\x5c\x8e\xa6\r\n\xdc\xdd\xce\xdf\xb2\xdd\xc4", {L"表示", L"ﾜﾝﾎﾟｲﾝﾄ"}},
        {"a\0b\r\nx\x82\r\n\xff\xfe\r\ny\x81\rz\x82\nw\r\nlast\x82"s,
         {L"a\0b"s, sjis("x\x82"), sjis("\xff\xfe"), sjis("y\x81"), sjis("z\x82\nw"),
          sjis("last\x82")}},
        pieces,
        {std::string(70000, 'x'), {std::wstring(70000, L'x')}},
    };
    for (const auto& [bytes, tips] : files) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 20)));
        WriteTipsFile(bytes);
        frmTip tip;
        tip.Show();
        Lines loaded;
        for (std::int32_t i = 1; i <= static_cast<std::int32_t>(tip.TipList.Count()); ++i)
            loaded.emplace_back(tip.TipList.Item(i));
        ASSERT_EQ(loaded, tips);
        const auto count = static_cast<std::int32_t>(tips.size());
        ASSERT_TRUE(tip.TipIndex >= 1 && tip.TipIndex <= std::max(count, 1)) << tip.TipIndex;
        const std::wstring shown = count == 0 ? L"" : tips[tip.TipIndex - 1];
        EXPECT_EQ(tip.Text(frmTip::lblTipText),
                  shown.substr(0, shown.find(L'\0')).substr(0, 65536));
    }
    WriteTipsFile("1\r\n2\r\n3\r\n");
    tip_.Show();
    EXPECT_FALSE(tip_.LoadTips(L""));
    EXPECT_TRUE(tip_.LoadTips(kTipsFile.native()));
    EXPECT_EQ(tip_.TipList.Count(), 6u);
    EXPECT_TRUE(DeleteFileW(kTipsFile.c_str())) << "the tips file was left open";
    // Thousands of presses of Next go through BM_CLICK rather than the input queue.
    std::vector<int> seen(7);
    for (int draw = 0; draw < 3000; ++draw) {
        ASSERT_EQ(TipText(), std::to_wstring((tip_.TipIndex - 1) % 3 + 1));
        ++seen.at(tip_.TipIndex);
        SendMessageW(tip_.Control(frmTip::cmdNextTip), BM_CLICK, 0, 0);
    }
    for (int i = 1; i <= 6; ++i)
        EXPECT_NEAR(seen[i], 500, 119) << "draws of tip " << i;
}

// Without a readable tips file the label says what to do, and Next changes nothing.
TEST_F(Tip, WithoutAReadableFileTheLabelExplainsWhatToDo) {
    const std::wstring message =
        L"ﾌｧｲﾙ TIPOFDAY.TXT が見つかりませんでした。 \r\n\r\n"
        L"「メモ帳」を使用して、1 行に 1 つのﾜﾝﾎﾟｲﾝﾄという形式でﾃｷｽﾄ ﾌｧｲﾙを作成し、"
        L"TIPOFDAY.TXT という名前で保存してください。 "
        L"その後、そのﾌｧｲﾙをｱﾌﾟﾘｹｰｼｮﾝと同じﾌｫﾙﾀﾞに保存してください。";
    for (const std::string what : {"missing", "hidden", "system", "locked", "a folder"}) {
        SCOPED_TRACE(what);
        std::filesystem::remove_all(kTipsFile);
        if (what == "a folder")
            std::filesystem::create_directory(kTipsFile);
        else if (what != "missing")
            WriteTipsFile("A tip\r\n");
        SetFileAttributesW(kTipsFile.c_str(), what == "hidden"   ? FILE_ATTRIBUTE_HIDDEN
                                              : what == "system" ? FILE_ATTRIBUTE_SYSTEM
                                                                 : FILE_ATTRIBUTE_NORMAL);
        const UniqueFile locked(what == "locked" ? CreateFileW(kTipsFile.c_str(), GENERIC_READ, 0,
                                                               nullptr, OPEN_EXISTING, 0, nullptr)
                                                 : INVALID_HANDLE_VALUE);
        frmTip tip;
        tip.Show();
        SendMessageW(tip.Control(frmTip::cmdNextTip), BM_CLICK, 0, 0);
        EXPECT_EQ(tip.Text(frmTip::lblTipText), message);
        EXPECT_EQ(tip.TipList.Count(), 0u);
    }
}

// However the window closes, the main window shows; Enter on Next shows a tip instead.
TEST_F(Tip, EveryWayOfClosingShowsTheMainWindow) {
    WriteTipsFile("a\r\nb\r\n");
    const std::tuple<const char*, int, std::function<void()>> ways[] = {
        {"OK", frmTip::cmdOK, [&] { ClickCenter(tip_.Control(frmTip::cmdOK)); }},
        {"Escape on the box", frmTip::chkLoadTipsAtStartup, [] { PressKey(VK_ESCAPE); }},
        {"title bar", frmTip::cmdOK,
         [&] { PostMessageW(tip_.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Enter on Next", frmTip::cmdNextTip, [] { PressKey(VK_RETURN); }},
    };
    for (const auto& [how, focus, close] : ways) {
        SCOPED_TRACE(how);
        tip_.Show();
        Activate(tip_.Hwnd());
        SetFocus(tip_.Control(focus));
        SetWindowTextW(tip_.Control(frmTip::lblTipText), L"");
        close();
        const bool closes = focus != frmTip::cmdNextTip;
        EXPECT_TRUE(PumpUntil([&] { return closes ? !tip_.Loaded() : !TipText().empty(); }));
        EXPECT_EQ(MainWindowShown(), closes);
        CloseWindows();
    }
}

// The rows and columns not white in the top-left n x n of what draw paints on white.
RECT Coloured(int n, const std::function<void(HDC)>& draw) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, n, n));
    PatBlt(dc, 0, 0, n, n, WHITENESS);
    draw(dc);
    RECT found{n, n, 0, 0};
    for (LONG y = 0; y < n; ++y)
        for (LONG x = 0; x < n; ++x)
            if (GetPixel(dc, x, y) != RGB(255, 255, 255))
                found = {std::min(found.left, x), std::min(found.top, y),
                         std::max(found.right, x + 1), std::max(found.bottom, y + 1)};
    DeleteObject(SelectObject(dc, old)), DeleteDC(dc), ReleaseDC(nullptr, screen);
    return found;
}

// The picture's bulb covers what it covers drawn alone at 32 x 32 scaled to dpi.
void ExpectBulbDrawnWhole(HWND picture, UINT dpi) {
    const int n = MulDiv(32, static_cast<int>(dpi), 96);
    RedrawWindow(picture, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const HDC shown = GetDC(picture);
    const RECT painted = Coloured(n, [&](HDC dc) { BitBlt(dc, 0, 0, n, n, shown, 0, 0, SRCCOPY); });
    ReleaseDC(picture, shown);
    auto* const bulb = static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TIP_BULB), IMAGE_ICON, n, n, LR_SHARED));
    const RECT alone =
        Coloured(n, [&](HDC dc) { DrawIconEx(dc, 0, 0, bulb, n, n, 0, {}, DI_NORMAL); });
    EXPECT_TRUE(EqualRect(&painted, &alone)) << "the bulb at " << dpi << " DPI";
}

// Caption, frame and place as designed; labels in the white picture; OK the default button. Before
// Windows 10 the runtime takes the older ways to the DPI and the metrics: the window stands where
// it does with the newest, in the system's message font at the window's DPI.
TEST_F(Tip, TheWindowIsLaidOutAsDesigned) {
    const auto pixels = [](int t) { return TwipsToPixels(t, 96); };
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    for (const auto level : {Dpi::Level::Newest, Dpi::Level::Windows81, Dpi::Level::Windows7}) {
        SCOPED_TRACE(testing::Message() << "DPI functions of level " << static_cast<int>(level));
        Dpi::UseLevelForTests(level);
        tip_.Show();
        const HWND window = tip_.Hwnd();
        EXPECT_EQ(FindWindowW(nullptr, L"ﾜﾝﾎﾟｲﾝﾄ"), window); // its caption
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) &
                      (WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
                  WS_THICKFRAME | WS_SYSMENU);
        RECT client;
        RECT picture;
        GetClientRect(window, &client);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
        GetWindowRect(tip_.Control(frmTip::Picture1), &picture);
        EXPECT_EQ(std::tie(client.left, client.top, client.right, client.bottom, picture.right),
                  std::tuple(pixels(2370), pixels(2400), pixels(2370) + pixels(5415),
                             pixels(2400) + pixels(3285), picture.left + pixels(3735)));
        for (const int label : {frmTip::Label1, frmTip::lblTipText}) { // white on white, corners
            const HWND hwnd = tip_.Control(label);
            EXPECT_EQ(GetParent(hwnd), tip_.Control(frmTip::Picture1));
            RECT area;
            GetClientRect(hwnd, &area);
            UpdateWindow(hwnd);
            const HDC hdc = GetDC(hwnd);
            EXPECT_EQ(GetPixel(hdc, area.right - 1, area.bottom - 1), RGB(255, 255, 255)) << label;
            ReleaseDC(hwnd, hdc);
        }
        EXPECT_EQ(tip_.Text(frmTip::Label1), L"便利な使い方...");
        EXPECT_EQ(GetWindowLongPtrW(tip_.Control(frmTip::lblTipText), GWL_STYLE) & SS_TYPEMASK,
                  SS_LEFT);
        EXPECT_EQ(GetWindowLongPtrW(tip_.Control(frmTip::cmdOK), GWL_STYLE) & BS_TYPEMASK,
                  BS_DEFPUSHBUTTON);
        RECT frame;
        GetWindowRect(window, &frame);
        ExpectBulbDrawnWhole(tip_.Control(frmTip::Picture1), 96);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&frame));
        ExpectBulbDrawnWhole(tip_.Control(frmTip::Picture1), 144);
        LOGFONTW lf{};
        const HWND text = tip_.Control(frmTip::lblTipText);
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_EQ(lf.lfHeight, MulDiv(metrics.lfMessageFont.lfHeight, 144, 96));
        // The user makes the text bigger while the window is open.
        NONCLIENTMETRICSW bigger = metrics;
        bigger.lfMessageFont.lfHeight *= 2;
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof bigger, &bigger, 0);
        SendMessageW(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_EQ(lf.lfHeight, MulDiv(bigger.lfMessageFont.lfHeight, 144, 96)) << "text size";
        tip_.Unload();
    }
    Dpi::UseLevelForTests(Dpi::Level::Newest);
}

// The first tip of each start in a child process, as its exit code.
TEST(DISABLED_Child, TipWindow) {
    ExitProcess([] { // the scratch keys gone first
        const ScratchKey hklm(HKEY_LOCAL_MACHINE);
        const ScratchKey hkcu;
        frmTip tip;
        tip.Show();
        return static_cast<UINT>(tip.TipIndex);
    }());
}

// Every start draws its first tip afresh: three starts do not all open on one tip of 1,000.
TEST_F(Tip, EachStartOpensOnATipOfItsOwn) {
    WriteTipsFile(std::string(1000, '\r'));
    std::set<DWORD> first;
    for (int start = 0; start < 3; ++start)
        first.insert(RunChild(L"TipWindow", [](DWORD) {}));
    EXPECT_GT(first.size(), 1u) << "every start opened on tip " << *first.begin();
}

} // namespace
