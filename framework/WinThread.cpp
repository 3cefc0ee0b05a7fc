#include "framework/WinThread.h"

#include <process.h>

// The last resort for a worker not held as a CJoinedThread: too late for
// the members of derived classes, but the thread must not outlive the handle
// and the object it runs on.
CWinThread::~CWinThread() { WaitForEnd(true); }

BOOL CWinThread::CreateThread(DWORD flags, UINT stackSize, LPSECURITY_ATTRIBUTES security) {
  if (m_hThread) return FALSE;
  unsigned id = 0;
  const uintptr_t h = ::_beginthreadex(security, stackSize, &CWinThread::Entry, this, flags, &id);
  if (!h) return FALSE;
  m_hThread.reset(reinterpret_cast<HANDLE>(h));
  m_nThreadID = id;
  return TRUE;
}

unsigned __stdcall CWinThread::Entry(void* p) {
  auto* self = static_cast<CWinThread*>(p);
  int code = 0;
  try {
    code = self->InitInstance() ? self->Run() : self->ExitInstance();
  } catch (...) {
    code = -1;
  }
  if (self->m_bAutoDelete) delete self;
  return static_cast<unsigned>(code);
}

int CWinThread::Run() {
  exitCode_ = RunMessageLoop();
  return ExitInstance();
}

int RunMessageLoop() {
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool CWinThread::IsRunning() const {
  return m_hThread && ::WaitForSingleObject(m_hThread.get(), 0) == WAIT_TIMEOUT;
}

void CWinThread::WaitForEnd(bool pumpMessages) {
  if (!m_hThread || m_bAutoDelete) return;
  if (pumpMessages) WaitPumpingMessages(m_hThread.get());
  else ::WaitForSingleObject(m_hThread.get(), INFINITE);
}

void WaitPumpingMessages(HANDLE handle) {
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    const DWORD r = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
    if (r != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        continue;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
}
