#include "setup/PathBrowser.h"

#include "framework/Sys.h"

CPathBrowser::CPathBrowser(HWND owner, int titleId) : CFolderBrowser(owner, nullptr, titleId) {}

CPathBrowser::~CPathBrowser() = default;

// A folder that does not exist leaves the shell's own selection; the status
// line shows the folder all the same.
void CPathBrowser::OnInitialized() {
  SetSelection(initialFolder_);
  SetStatusText(initialFolder_);
}

void CPathBrowser::OnSelChanged(LPCITEMIDLIST item) {
  char path[MAX_PATH] = {};
  if (!item || !sys::SHGetPathFromIDList(item, path)) path[0] = '\0';
  SetStatusText(path);
}
