#include "framework/ShellExecuteAsUser.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <servprov.h>

#include "framework/Handles.h"
#include "framework/Sys.h"
#include "framework/WideText.h"

namespace {

// A VARIANT cleared on every way out.
class Variant {
 public:
  Variant() { ::VariantInit(&v_); }
  explicit Variant(long value) : Variant() {
    v_.vt = VT_I4;
    v_.lVal = value;
  }
  explicit Variant(const std::wstring& text) : Variant() {
    v_.vt = VT_BSTR;
    v_.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  ~Variant() { ::VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &v_; }
  // By value, as the automation methods take their arguments: a shallow
  // copy this object still owns.
  VARIANT value() const { return v_; }

 private:
  VARIANT v_;
};

// A BSTR freed on every way out.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { ::SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }

 private:
  BSTR b_;
};

// COM for the calling thread while it lives, unless the thread already has
// it (in whichever apartment: the shell's objects are out of process).
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~ComScope() {
    if (initialised_) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

// The desktop's shell view, from the shell windows' list: the top-level
// browser of the desktop window, its active view.
bool DesktopView(ComPtr<IShellView>& view) {
  ComPtr<IShellWindows> windows;
  if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.put_void())))
    return false;
  Variant location(static_cast<long>(CSIDL_DESKTOP)), root;
  long desktopWindow = 0;
  ComPtr<IDispatch> desktop;
  // S_FALSE and no object where no desktop window is registered.
  if (windows->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                            desktop.put()) != S_OK ||
      !desktop)
    return false;
  ComPtr<IServiceProvider> services;
  if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.put_void()))) return false;
  ComPtr<IShellBrowser> browser;
  if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void()))) return false;
  return SUCCEEDED(browser->QueryActiveShellView(view.put())) && view;
}

// The shell's automation object of the process that shows the desktop.
bool DesktopShellDispatch(ComPtr<IShellDispatch2>& shell) {
  ComPtr<IShellView> view;
  if (!DesktopView(view)) return false;
  ComPtr<IDispatch> background;
  if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void()))) return false;
  ComPtr<IShellFolderViewDual> folderView;
  if (FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void()))) return false;
  ComPtr<IDispatch> application;
  if (FAILED(folderView->get_Application(application.put())) || !application) return false;
  return SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, shell.put_void())) && shell;
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

namespace sys {

bool ShellOpenThroughDesktop(const std::wstring& path, int show) {
  const ComScope com;
  ComPtr<IShellDispatch2> shell;
  if (!DesktopShellDispatch(shell)) return false;
  const Bstr file(path);
  const Variant arguments{std::wstring()}, folder{FolderOf(path)}, verb{std::wstring(L"open")},
      window{static_cast<long>(show)};
  return SUCCEEDED(shell->ShellExecute(file.get(), arguments.value(), folder.value(), verb.value(), window.value()));
}

ShellRoute ShellOpenAsUser(const std::string& path, int show) {
  if (ShellOpenThroughDesktop(cp936::ToWide(path), show)) return ShellRoute::DesktopShell;
  // The call the programs made before; success is a value above 32.
  const HINSTANCE started = sys::ShellExecute(nullptr, "OPEN", path.c_str(), nullptr, nullptr, show);
  return reinterpret_cast<INT_PTR>(started) > 32 ? ShellRoute::OwnShell : ShellRoute::Failed;
}

}  // namespace sys
