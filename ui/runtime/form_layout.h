#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <span>
#include <vector>

#include "base/unique_handle.h"
#include "ui/runtime/combo_field.h"
#include "ui/runtime/form_def.h"

// Twips (1440 to the inch) as pixels at dpi.
int TwipsToPixels(int twips, UINT dpi);

// Where a form's window and controls go and the font they are in: the definition's twips made
// pixels at the window's DPI when the window is made, and again whenever its DPI changes.
class FormLayout {
  public:
    explicit FormLayout(const FormDef& def) : def_(def) {}
    FormLayout(const FormLayout&) = delete;
    FormLayout& operator=(const FormLayout&) = delete;

    // Makes the form's window, hidden and with its icons; param reaches its WM_NCCREATE. Throws
    // when it cannot be made.
    HWND CreateFormWindow(void* param);
    // Makes the controls in the form's window at its DPI, with the IDs firstId on in the
    // definition's order, and fits the frame to them; gives their handles in that order. Throws
    // when one cannot be made.
    std::vector<HWND> CreateControls(HWND form, int firstId);
    // Places the controls and sizes the frame for dpi, in a font made for it, which takeFont
    // gives to whatever else is drawn in it before the old font goes; the frame goes to the
    // top left of suggested, where given. Gives the window its icons for dpi.
    void Apply(HWND form, std::span<const HWND> controls, UINT dpi,
               const std::function<void(HFONT)>& takeFont, const RECT* suggested);
    // The window's size at dpi: the definition's client area in the frame of that DPI.
    SIZE FrameSize(UINT dpi) const;
    // A control's height at dpi, in pixels; a combo box's closed height.
    int Height(int control, UINT dpi) const;

    HFONT Font() const { return static_cast<HFONT>(font_.get()); }
    // The DPI the form is laid out at.
    UINT Dpi() const { return dpi_; }
    // How the form's combo boxes fit the current font; each of them keeps it.
    ComboField::HeightFit& FieldFit() { return fieldFit_; }
    // The window is gone: so is its font.
    void Release() {
        font_.reset();
        icons_ = {};
    }

  private:
    void SetFont(std::span<const HWND> controls, UINT dpi,
                 const std::function<void(HFONT)>& takeFont = {});
    void FitFrame(HWND form, UINT dpi) const;
    void SetIcons(HWND form, UINT dpi);

    const FormDef& def_;
    UniqueGdiObject font_;
    std::array<UniqueIcon, 2> icons_; // big and small, at the window's DPI
    UINT dpi_ = 96;
    ComboField::HeightFit fieldFit_; // for the current font
};
