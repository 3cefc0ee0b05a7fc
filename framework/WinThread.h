#pragma once
// A worker thread object. The owner sets m_pMainWnd (the window the worker
// reports to) and m_bAutoDelete before CreateThread, and waits for the thread
// with WaitForEnd before the object dies; an owner that keeps the object
// (m_bAutoDelete FALSE) holds it as a CJoinedThread, which waits in time.
#include <windows.h>

#include "framework/Handles.h"

class CWnd;

class CWinThread {
 public:
  CWinThread() = default;
  virtual ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  // Starts the thread: InitInstance, then Run when it returned TRUE, else
  // ExitInstance; the result is the thread's exit code.
  BOOL CreateThread(DWORD flags = 0, UINT stackSize = 0, LPSECURITY_ATTRIBUTES security = nullptr);

  virtual BOOL InitInstance() { return FALSE; }
  // The thread's message loop: ends at WM_QUIT with ExitInstance's result.
  virtual int Run();
  virtual int ExitInstance() { return exitCode_; }

  // Waits until the thread has ended. With pumpMessages the calling thread
  // keeps dispatching its messages meanwhile, so that messages the worker
  // sends to it, and prompts the worker shows, are served. Returns at once
  // when no thread was started.
  void WaitForEnd(bool pumpMessages);
  bool IsRunning() const;
  HANDLE ThreadHandle() const { return m_hThread.get(); }

  CWnd* m_pMainWnd = nullptr;
  BOOL m_bAutoDelete = TRUE;
  DWORD m_nThreadID = 0;

 private:
  static unsigned __stdcall Entry(void* self);
  ScopedHandle m_hThread;
  int exitCode_ = 0;
};

// A worker as its owner holds it (a member or a local): the thread is
// waited for before any part of the worker is destroyed. CWinThread's own
// destructor waits too, but only after the worker's classes have destroyed
// their members and given up their virtual functions, so a thread still
// running then would read freed members and call the base's functions.
// Being the most derived class, this one waits while the worker is whole.
template <typename Worker>
class CJoinedThread final : public Worker {
 public:
  using Worker::Worker;
  ~CJoinedThread() override { this->WaitForEnd(true); }
};

// Gets and dispatches the calling thread's messages until WM_QUIT; returns
// its wParam.
int RunMessageLoop();

// Waits for a handle while dispatching the calling thread's messages.
void WaitPumpingMessages(HANDLE handle);
