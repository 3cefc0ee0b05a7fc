#pragma once
// Messages from the replay worker (CUninstallThread) to the uninstaller's
// dialog. wParam is 0 in all of them.
#include <windows.h>

// Sent by the worker once per "File Copy: " entry, deleted or not.
// lParam: const char* path of the entry, valid only during the call.
constexpr UINT WM_UNINSTALL_FILE = WM_USER + 12;
// Sent by the worker after the file stage. lParam: 0.
constexpr UINT WM_UNINSTALL_FILES_DONE = WM_USER + 13;
// Sent by the worker at the very end of a replay that was not stopped. lParam: 0.
constexpr UINT WM_UNINSTALL_DONE = WM_USER + 14;
// Posted by LoadRecord (on the dialog's thread) when the record cannot be
// read, and by the worker when its replay broke off on an unexpected error.
// lParam: 0.
constexpr UINT WM_UNINSTALL_FAILED = WM_USER + 16;
