#pragma once
// Opening a document as the signed-in user from an elevated program. The
// programs run as administrator; a document opened with their own
// ShellExecute opens in an editor with the same rights, whose Open dialog
// can start anything. The desktop's shell runs unelevated: asked through its
// automation object, it starts the document's program as the user does.
#include <windows.h>

#include <string>

namespace sys {

enum class ShellRoute {
  DesktopShell,  // the desktop's shell window started it (the user's rights)
  OwnShell,      // no such shell answered: started by this process's ShellExecute
  Failed,        // neither could start it
};

// Opens path (code page 936) with its "open" verb, shown as show (SW_...).
// The desktop's shell first; ShellExecute only where no desktop shell
// answers (XP without elevation, a session without Explorer).
ShellRoute ShellOpenAsUser(const std::string& path, int show);

// The desktop shell's route alone: false where it does not answer.
bool ShellOpenThroughDesktop(const std::wstring& path, int show);

}  // namespace sys
