// Small pieces the component's windows share: twips to pixels at the system's DPI, this DLL's
// module handle, the dialog font, and making a child control in one call.
#pragma once

#include <windows.h>

namespace sarnlink {

// Twips (1/1440 inch) to pixels at the system's DPI.
int Pixels(int twips);

// The module the component's windows belong to.
HINSTANCE ThisModule();

// The system's message font; made on first use, kept until ReleaseWindowResources.
HFONT DialogFont();

// A child control at a position and size given in twips, with the dialog font.
HWND MakeControl(HWND parent, const WCHAR* window_class, DWORD style, int left, int top, int width,
                 int height, const char16_t* text, int id, DWORD ex_style = 0);

// Registers a window class of this module with the button-face background and the arrow
// cursor, after the common controls are initialised, unless it is registered already. False
// when the system refuses it.
bool RegisterFormClass(const char16_t* name, WNDPROC procedure);

// Unregisters the window classes and deletes the font, when the DLL may be unloaded: a DLL
// loaded again must not find its classes still pointing into the old copy.
void ReleaseWindowResources();

// Calls InitCommonControlsEx once for the tab strip, progress bar and date pickers.
void InitCommonControlsOnce();

// Runs a modal loop for `window` until `done` turns true, with the system's dialog keys
// (IsDialogMessage: Tab, Enter on the focused button or else OK, Esc for Cancel). A WM_QUIT
// ends the loop and is posted again, so that the host's own loop still gets it; the function
// then returns false (the form was not answered).
bool RunModalLoop(HWND window, const bool& done);

// The host's window while one of the component's forms is up: disabled, as the system's own
// dialogs leave it, and enabled and made active again when the form goes (Restore, before the
// form's window is destroyed, so that the host gets the activation back).
class DisabledOwner {
 public:
  explicit DisabledOwner(HWND owner);
  ~DisabledOwner() { Restore(); }
  DisabledOwner(const DisabledOwner&) = delete;
  DisabledOwner& operator=(const DisabledOwner&) = delete;
  HWND window() const { return owner_; }
  void Restore();

 private:
  HWND owner_;  // the owner this disabled, or null
};

// A form's answer to DM_GETDEFID, which IsDialogMessage asks at Enter: the push button that has
// the focus, else OK. (A window the dialog manager does not run has no default button of its
// own to answer with.)
LRESULT DefaultButtonAnswer(HWND window);

// The window of the host that a form opened now belongs to: the active window of this thread.
HWND HostWindow();

}  // namespace sarnlink
