#include "tests/wine/uninstall/ReplayHarness.h"

#include "tests/wine/uninstall/UninstallTestSupport.h"

namespace ut {

Recorder::Recorder() {
  SubclassWindow(::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
}

Recorder::~Recorder() {
  HWND wnd = UnsubclassWindow();
  if (wnd) ::DestroyWindow(wnd);
}

LRESULT Recorder::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_UNINSTALL_FILE: {
      const std::string path = lp ? reinterpret_cast<const char*>(lp) : "<null>";
      events.push_back("file " + path);
      if (onFile) onFile(path);
      return 0;
    }
    case WM_UNINSTALL_FILES_DONE:
      events.push_back("files done");
      return 0;
    case WM_UNINSTALL_DONE:
      events.push_back("done");
      return 0;
    case WM_UNINSTALL_FAILED:
      events.push_back("failed");
      return 0;
    default:
      return CWnd::WindowProc(msg, wp, lp);
  }
}

void Recorder::DispatchPosted() {
  MSG msg;
  while (::PeekMessageA(&msg, m_hWnd, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

bool RunReplay(TestWorker& worker, Recorder& recorder, const std::string& recordPath) {
  worker.m_pMainWnd = &recorder;
  worker.m_bAutoDelete = FALSE;
  if (!worker.LoadRecord(recordPath)) {
    recorder.DispatchPosted();
    return false;
  }
  if (!worker.CreateThread()) return false;
  worker.WaitForEnd(true);
  recorder.DispatchPosted();
  return true;
}

std::string FreshFolder(const std::string& name) {
  const std::string folder = "C:\\卸载 测试\\" + name;
  RemoveTree(folder);
  MakeFolders(folder);
  return folder;
}

}  // namespace ut
