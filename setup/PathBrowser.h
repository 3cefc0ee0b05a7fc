#pragma once
// The folder browser of the install path page: opens on an initial folder
// and shows the selected folder's path in its status line.
#include "setup/FolderBrowser.h"

class CPathBrowser : public CFolderBrowser {
 public:
  CPathBrowser(HWND owner, int titleId);
  ~CPathBrowser() override;

  void SetInitialFolder(const std::string& path) { initialFolder_ = path; }

 protected:
  void OnInitialized() override;
  void OnSelChanged(LPCITEMIDLIST item) override;

 private:
  std::string initialFolder_;
};
