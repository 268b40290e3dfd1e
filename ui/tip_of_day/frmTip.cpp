#include "ui/tip_of_day/frmTip.h"

#include <cerrno>
#include <cmath>
#include <cwchar>
#include <limits>
#include <string_view>

#include "ui/main_window/Form1.h"
#include "ui/runtime/app_info.h"
#include "ui/runtime/random.h"
#include "ui/runtime/settings.h"
#include "ui/runtime/text_file.h"

namespace {

constexpr std::wstring_view kSection = L"Options";
constexpr std::wstring_view kShowAtStartup = L"Show Tips at Startup";
constexpr std::int32_t kShowByDefault = 1;
constexpr std::wstring_view kTipsFileName = L"TIPOFDAY.TXT";
// The tips are written in Shift-JIS; an English or UTF-8 system would garble them as ANSI text.
constexpr UINT kTipsCodePage = 932;
// The label shows a few hundred characters at most. A longer tip goes to it cut to this length,
// so that the tips of a one-line file are not held three times over (list, copy, window text).
constexpr std::size_t kShownChars = 65536;

// Shown in place of a tip when the tips file cannot be read; it names the file, not its path.
std::wstring NotFoundMessage() {
    std::wstring message = L"ﾌｧｲﾙ ";
    message += kTipsFileName;
    message += L" が見つかりませんでした。 ";
    message += L"\r\n\r\n";
    message += L"「メモ帳」を使用して、1 行に 1 つのﾜﾝﾎﾟｲﾝﾄという形式でﾃｷｽﾄ ﾌｧｲﾙを作成し、";
    message += kTipsFileName;
    message += L" という名前で保存してください。 ";
    message += L"その後、そのﾌｧｲﾙをｱﾌﾟﾘｹｰｼｮﾝと同じﾌｫﾙﾀﾞに保存してください。";
    return message;
}

// The stored setting as a number. Text that is not a 32-bit decimal integer (someone edited
// the registry) counts as the default, so the window still opens and stores a clean "1".
std::int32_t SettingAsNumber(const std::wstring& text) {
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), &end, 10);
    const bool whole = end != text.c_str() && *end == L'\0' && errno == 0;
    if (!whole || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return kShowByDefault;
    return static_cast<std::int32_t>(value);
}

} // namespace

frmTip& frmTip::Instance() {
    static frmTip form;
    return form;
}

frmTip::frmTip() : Form(frmTipDefinition()) {}

void frmTip::Form_Load() {
    const std::wstring stored =
        GetSetting(App::Title(), kSection, kShowAtStartup, std::to_wstring(kShowByDefault));
    if (SettingAsNumber(stored) == 0) {
        Unload();
        return;
    }
    // Checking the box raises its click, which stores "1": every opening stores the setting.
    SetValue(chkLoadTipsAtStartup, 1);
    Randomize();
    if (!LoadTips(App::Path() + L"\\" + std::wstring(kTipsFileName)))
        SetText(lblTipText, NotFoundMessage());
}

// However the window closes, the main window takes its place.
void frmTip::Form_Unload(std::int16_t& /*Cancel*/) {
    Form1::Instance().Show();
}

void frmTip::Click(int control) {
    switch (control) {
    case cmdNextTip:
        cmdNextTip_Click();
        break;
    case cmdOK:
        cmdOK_Click();
        break;
    case chkLoadTipsAtStartup:
        chkLoadTipsAtStartup_Click();
        break;
    }
}

bool frmTip::LoadTips(const std::wstring& sFile) {
    if (sFile.empty() || !OrdinaryFileExists(sFile))
        return false;
    TextFile file(kTipsCodePage);
    if (!file.Open(sFile))
        return false;
    // A line takes no more characters than bytes, its terminator included; the last line may
    // have none.
    const std::size_t before = TipList.Count();
    TipList.Reserve(static_cast<std::size_t>(file.Size()) + 1);
    while (!file.Eof())
        TipList.Add([&file](std::wstring& text) { file.LineInput(text); });
    if (file.Failed()) {
        TipList.Truncate(before);
        return false;
    }
    file.Close();
    ShowRandomTip();
    return true;
}

void frmTip::DisplayCurrentTip() {
    if (TipList.Count() > 0)
        SetText(lblTipText, TipList.Item(TipIndex).substr(0, kShownChars));
}

// Any tip, the one on display included, with equal chance; 1 when there are none.
void frmTip::ShowRandomTip() {
    const float r = Rnd();
    const auto n = static_cast<double>(TipList.Count());
    TipIndex = static_cast<std::int32_t>(std::floor(static_cast<double>(r) * n + 1.0));
    DisplayCurrentTip();
}

void frmTip::cmdNextTip_Click() {
    ShowRandomTip();
}

void frmTip::cmdOK_Click() {
    Unload();
}

// A save the registry refuses leaves the box as the user set it: the window goes on without it.
void frmTip::chkLoadTipsAtStartup_Click() {
    SaveSetting(App::Title(), kSection, kShowAtStartup,
                std::to_wstring(Value(chkLoadTipsAtStartup)));
}
