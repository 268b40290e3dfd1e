#include "ui/tip_of_day/frmTip.h"

#include "base/resource_ids.h"

// The tip-of-the-day window as data: its frame and controls in twips, in the system's font.

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// clang-format off
constexpr ControlDef kControls[] = {
    {.name = L"chkLoadTipsAtStartup", .kind = ControlKind::CheckBox,
     .caption = L"起動時にﾜﾝﾎﾟｲﾝﾄを表示する(&S)",
     .left = 120, .top = 2940, .width = 3255, .height = 315, .tabIndex = 3, .events = kClick},
    {.name = L"cmdNextTip", .kind = ControlKind::CommandButton, .caption = L"次を表示(&N)",
     .left = 4080, .top = 600, .width = 1215, .height = 375, .tabIndex = 2, .events = kClick},
    {.name = L"Picture1", .kind = ControlKind::PictureBox,
     .left = 120, .top = 120, .width = 3735, .height = 2715, .tabIndex = 1, .backColor = kWhite,
     .pictureId = IDI_TIP_BULB},
    {.name = L"Label1", .kind = ControlKind::Label, .caption = L"便利な使い方...",
     .left = 540, .top = 180, .width = 2655, .height = 255, .tabIndex = 5,
     .container = frmTip::Picture1, .backColor = kWhite},
    {.name = L"lblTipText", .kind = ControlKind::Label,
     .left = 180, .top = 840, .width = 3255, .height = 1635, .tabIndex = 4,
     .container = frmTip::Picture1, .backColor = kWhite, .wordWrap = true},
    {.name = L"cmdOK", .kind = ControlKind::CommandButton, .caption = L"OK",
     .left = 4080, .top = 120, .width = 1215, .height = 375, .tabIndex = 0, .events = kClick,
     .isDefault = true, .isCancel = true},
};
// clang-format on

// Each row sits where the form's enum of controls puts it.
static_assert(kControls[frmTip::chkLoadTipsAtStartup].name == L"chkLoadTipsAtStartup");
static_assert(kControls[frmTip::cmdNextTip].name == L"cmdNextTip");
static_assert(kControls[frmTip::Picture1].name == L"Picture1");
static_assert(kControls[frmTip::Label1].name == L"Label1");
static_assert(kControls[frmTip::lblTipText].name == L"lblTipText");
static_assert(kControls[frmTip::cmdOK].name == L"cmdOK");

constexpr FormDef kFrmTip{
    .caption = L"ﾜﾝﾎﾟｲﾝﾄ",
    .frame = FrameKind::Sizable,
    .clientWidth = 5415,
    .clientHeight = 3285,
    .clientOrigin = POINT{2370, 2400},
    .iconId = 0,
    .font = std::nullopt,
    .controls = kControls,
};

} // namespace

const FormDef& frmTipDefinition() {
    return kFrmTip;
}
