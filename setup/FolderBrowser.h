#pragma once
// A wrapper of the shell's browse-for-folder dialog. Derived classes react to
// the dialog's start and to selection changes; while the dialog is open the
// parameter setters do nothing and SetSelection / SetStatusText talk to it.
#include <windows.h>
#include <shlobj.h>

#include <string>

class CFolderBrowser {
 public:
  // titleId: string resource with the instruction line (0: none).
  CFolderBrowser(HWND owner, LPCITEMIDLIST root, int titleId);
  virtual ~CFolderBrowser() = 0;
  // The browse parameters point into the object itself.
  CFolderBrowser(const CFolderBrowser&) = delete;
  CFolderBrowser& operator=(const CFolderBrowser&) = delete;

  void SetOwner(HWND owner);
  void SetRoot(LPCITEMIDLIST root);
  void SetFlags(UINT flags);
  void SetTitle(const std::string& title);
  // False, changing nothing, for an id of 0 or less or a string that cannot
  // be loaded.
  bool SetTitle(int titleId);

  // Runs the dialog; true when a file-system folder was chosen.
  bool Browse();
  std::string GetFolderPath() const { return path_; }

  // Only while the dialog is open.
  void SetSelection(const std::string& path);
  void SetStatusText(const std::string& text);

 protected:
  virtual void OnInitialized() {}
  virtual void OnSelChanged(LPCITEMIDLIST item) { (void)item; }
  bool IsOpen() const { return dialog_ != nullptr; }

 private:
  static int CALLBACK Callback(HWND dialog, UINT msg, LPARAM param, LPARAM self);

  std::string title_;
  BROWSEINFOA info_{};
  char displayName_[MAX_PATH] = {};
  std::string path_;
  HWND dialog_ = nullptr;
};
