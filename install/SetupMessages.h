#pragma once
// Messages from the install worker (CSetupThread) to its main window, the
// copy page. Their numbers lie below WM_USER.
#include <windows.h>

// Sent after every entry of the folder stage (each file, copied or not, and
// each subfolder after its content). wParam: const char* source path,
// lParam: const char* target path, both valid only during the call.
constexpr UINT WM_SETUP_FILE = 1012;
// Sent after the install record has been written. wParam, lParam: 0.
constexpr UINT WM_SETUP_FINISHING = 1013;
// Posted right after WM_SETUP_FINISHING. wParam, lParam: 0.
constexpr UINT WM_SETUP_DONE = 1014;
// Posted when the folder stage gives up. wParam, lParam: 0.
constexpr UINT WM_SETUP_FAILED = 1015;
