#include "ui/main_window/Form1.h"

#include "base/resource_ids.h"
#include "ui/main_window/entry_tables.h"

// The main window as data: its frame, font and controls in twips, with their tab order, the
// labels that name the lists, and the events each control raises.

namespace {

constexpr auto kPolicyEntryTexts = EntryTexts(kPolicyEntries);
constexpr auto kJavaEntryTexts = EntryTexts(kJavaEntries);

// Grey labels with button-text letters, each over its list.
constexpr COLORREF kLabelGrey = 0x00808080;
constexpr unsigned kListEvents = kClick | kKeyPress;

// clang-format off
constexpr ControlDef kControls[] = {
    {.name = L"la_script", .kind = ControlKind::Label, .caption = L"JAVA Script の設定",
     .left = 60, .top = 90, .width = 1635, .height = 195, .tabIndex = 0, .backColor = kLabelGrey,
     .labelFor = Form1::co_java_script},
    {.name = L"co_java_script", .kind = ControlKind::ComboBox, .entries = kPolicyEntryTexts,
     .left = 60, .top = 300, .width = 1635, .height = 285, .tabIndex = 1, .events = kListEvents},
    {.name = L"co_java_applet", .kind = ControlKind::ComboBox, .entries = kPolicyEntryTexts,
     .left = 60, .top = 870, .width = 1635, .height = 285, .tabIndex = 2, .events = kListEvents},
    {.name = L"Label1", .kind = ControlKind::Label, .caption = L"JAVA Applet の設定",
     .left = 60, .top = 660, .width = 1635, .height = 195, .tabIndex = 3, .backColor = kLabelGrey,
     .labelFor = Form1::co_java_applet},
    {.name = L"co_java_java", .kind = ControlKind::ComboBox, .entries = kJavaEntryTexts,
     .left = 60, .top = 1440, .width = 1635, .height = 285, .tabIndex = 4, .events = kListEvents},
    {.name = L"Label2", .kind = ControlKind::Label, .caption = L"JAVA の設定",
     .left = 60, .top = 1230, .width = 1635, .height = 195, .tabIndex = 5, .backColor = kLabelGrey,
     .labelFor = Form1::co_java_java},
    {.name = L"co_cookie_cookie", .kind = ControlKind::ComboBox, .entries = kPolicyEntryTexts,
     .left = 1740, .top = 300, .width = 1635, .height = 285, .tabIndex = 6, .events = kListEvents},
    {.name = L"Label3", .kind = ControlKind::Label, .caption = L"Cookie の設定",
     .left = 1770, .top = 90, .width = 1635, .height = 195, .tabIndex = 7, .backColor = kLabelGrey,
     .labelFor = Form1::co_cookie_cookie},
    {.name = L"co_cookie_session", .kind = ControlKind::ComboBox, .entries = kPolicyEntryTexts,
     .left = 1740, .top = 870, .width = 1635, .height = 285, .tabIndex = 8, .events = kListEvents},
    {.name = L"Label4", .kind = ControlKind::Label, .caption = L"セッションごとの設定",
     .left = 1770, .top = 660, .width = 1635, .height = 195, .tabIndex = 9, .backColor = kLabelGrey,
     .labelFor = Form1::co_cookie_session},
    {.name = L"com_reset", .kind = ControlKind::CommandButton, .caption = L"既定値",
     .left = 2370, .top = 1230, .width = 645, .height = 525, .tabIndex = 10, .events = kClick},
    {.name = L"com_end", .kind = ControlKind::CommandButton, .caption = L"終了",
     .left = 3000, .top = 1230, .width = 435, .height = 525, .tabIndex = 11, .events = kClick},
    {.name = L"Command1", .kind = ControlKind::CommandButton, .caption = L"全無効",
     .left = 1740, .top = 1230, .width = 645, .height = 525, .tabIndex = 12, .events = kClick},
};
// clang-format on

// Each row sits where the form's enum of controls puts it.
static_assert(kControls[Form1::la_script].name == L"la_script");
static_assert(kControls[Form1::co_java_script].name == L"co_java_script");
static_assert(kControls[Form1::co_java_applet].name == L"co_java_applet");
static_assert(kControls[Form1::Label1].name == L"Label1");
static_assert(kControls[Form1::co_java_java].name == L"co_java_java");
static_assert(kControls[Form1::Label2].name == L"Label2");
static_assert(kControls[Form1::co_cookie_cookie].name == L"co_cookie_cookie");
static_assert(kControls[Form1::Label3].name == L"Label3");
static_assert(kControls[Form1::co_cookie_session].name == L"co_cookie_session");
static_assert(kControls[Form1::Label4].name == L"Label4");
static_assert(kControls[Form1::com_reset].name == L"com_reset");
static_assert(kControls[Form1::com_end].name == L"com_end");
static_assert(kControls[Form1::Command1].name == L"Command1");

constexpr FormDef kForm1{
    .caption = L"QUELM",
    .frame = FrameKind::FixedDialog,
    .clientWidth = 3435,
    .clientHeight = 1785,
    .clientOrigin = std::nullopt,
    .iconId = IDI_QUELM,
    .font = FontDef{.face = L"ＭＳ Ｐゴシック",
                    .charset = SHIFTJIS_CHARSET,
                    .weight = FW_NORMAL,
                    .hundredthsOfPoint = 825},
    .controls = kControls,
};

} // namespace

const FormDef& Form1Definition() {
    return kForm1;
}
