#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string_view>

// A form as data: its frame and a table of controls in twips, which the runtime turns into
// windows and pixels at the window's real DPI.

// A colour that is not set: the system's, or the definition's where it has one.
inline constexpr COLORREF kDefaultColor = CLR_INVALID;

enum class ControlKind { Label, ComboBox, CommandButton, CheckBox, PictureBox };

// Which events of a control have handlers; the runtime raises no other.
enum ControlEvents : unsigned { kNoEvents = 0, kClick = 1, kKeyPress = 2 };

inline constexpr int kOnForm = -1;

struct ControlDef {
    std::wstring_view name;
    ControlKind kind = ControlKind::Label;
    std::wstring_view caption = {};                  // empty for combo boxes and picture boxes
    std::span<const std::wstring_view> entries = {}; // combo boxes: the list, in order
    int left = 0, top = 0, width = 0, height = 0;    // twips, in the container's client area
    int tabIndex = 0;
    unsigned events = kNoEvents;
    int container = kOnForm;            // table index of the picture box holding the control
    COLORREF backColor = kDefaultColor; // labels and picture boxes
    bool wordWrap = false;              // labels
    bool isDefault = false;             // command buttons: Enter presses it
    bool isCancel = false;              // command buttons: Escape presses it
    int pictureId = 0;                  // picture boxes: icon resource drawn at the top left
    int labelFor = -1;                  // labels: table index of the control the label names
};

enum class FrameKind { FixedDialog, Sizable };

struct FontDef {
    std::wstring_view face;
    BYTE charset;
    LONG weight;
    int hundredthsOfPoint;
};

struct FormDef {
    std::wstring_view caption;
    FrameKind frame = FrameKind::FixedDialog;
    int clientWidth = 0, clientHeight = 0;  // twips
    std::optional<POINT> clientOrigin = {}; // twips from the screen's top left; none: default
    int iconId = 0;                         // icon resource, 0 for none
    std::optional<FontDef> font = {};       // none: the system's user-interface font
    std::span<const ControlDef> controls = {};
};
