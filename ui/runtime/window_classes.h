#pragma once

#include <windows.h>

// The window classes the runtime registers: forms, and picture boxes (a bordered, coloured
// container that draws an icon at its top left and passes its children's colour requests on
// to the form).
inline constexpr wchar_t kFormClass[] = L"QUELM.Form";
inline constexpr wchar_t kPictureBoxClass[] = L"QUELM.PictureBox";

void RegisterWindowClasses();
// The DPI a picture box's form is laid out at, which its picture is drawn for.
void SetPictureDpi(HWND pictureBox, UINT dpi);
