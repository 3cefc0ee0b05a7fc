#pragma once
// Runs the replay worker in the test's process: a hidden window stands in for
// the dialog and records the worker's messages; the self-removal batch is
// left out, as it would delete the test program itself.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Wnd.h"
#include "uninstall/UninstallThread.h"

namespace ut {

class Recorder : public CWnd {
 public:
  Recorder();
  ~Recorder() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // Dispatches the messages posted to the window so far.
  void DispatchPosted();

  // "file <path>", "files done", "done", "failed", in order of arrival.
  std::vector<std::string> events;
  // Called on every WM_UNINSTALL_FILE after it was recorded.
  std::function<void(const std::string& path)> onFile;
};

class TestWorker : public CUninstallThread {
 public:
  void WriteSelfRemovalBatch() override { ++batches; }
  int batches = 0;
};

// Loads the record into the worker and runs the replay on its own thread,
// serving its messages meanwhile. False when the record did not load.
bool RunReplay(TestWorker& worker, Recorder& recorder, const std::string& recordPath);

// The folder of the test named, made empty: "C:\卸载 测试\<name>".
std::string FreshFolder(const std::string& name);

}  // namespace ut
