// Small pieces the component's windows share: twips to pixels at the system's DPI, this DLL's
// module handle, the dialog font, and making a child control in one call.
#pragma once

#include <windows.h>

namespace sarnlink {

// Twips (1/1440 inch) to pixels at the system's DPI.
int Pixels(int twips);

// The module the component's windows belong to.
HINSTANCE ThisModule();

// The system's message font; made once, kept for the process.
HFONT DialogFont();

// A child control at a position and size given in twips, with the dialog font.
HWND MakeControl(HWND parent, const WCHAR* window_class, DWORD style, int left, int top, int width,
                 int height, const char16_t* text, int id, DWORD ex_style = 0);

// Registers a window class of this module with the button-face background and the arrow
// cursor, after the common controls are initialised. False when the system refuses it.
bool RegisterFormClass(const char16_t* name, WNDPROC procedure);

// Calls InitCommonControlsEx once for the tab strip, progress bar and date pickers.
void InitCommonControlsOnce();

}  // namespace sarnlink

#include <vector>

namespace sarnlink {

// Runs a modal loop for `window` until `done` turns true: Tab and Shift+Tab move through
// `focus_order` (skipping what is disabled or hidden), Enter sends IDOK and Esc IDCANCEL to the
// window, everything else is dispatched as usual.
void RunModalLoop(HWND window, const bool& done, const std::vector<HWND>& focus_order);

}  // namespace sarnlink
