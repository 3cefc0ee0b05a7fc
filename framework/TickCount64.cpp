#include "framework/TickCount64.h"

#include <atomic>

namespace {

std::atomic<std::uint64_t> g_lastTickCount{0};

ULONGLONG WINAPI ResolveOnFirstCall() {
  const TickCount64Function found = ResolveTickCount64(::GetModuleHandleW(L"kernel32.dll"));
  // The runtime reads the slot as a plain pointer; every thread that races
  // here stores the same value.
  __atomic_store_n(&ts_tickCount64Slot, found, __ATOMIC_RELEASE);
  return found();
}

}  // namespace

// Linked as an object file, never from an archive: the runtime's reference
// comes after the archives in the link, and an archive member would then no
// longer be searched, leaving the slot to kernel32's import library.
TickCount64Function ts_tickCount64Slot = &ResolveOnFirstCall;

TickCount64Function ResolveTickCount64(HMODULE kernel) {
  const FARPROC found = kernel ? ::GetProcAddress(kernel, "GetTickCount64") : nullptr;
  if (!found) return &TickCount64FromTickCount;
  // Through a plain function pointer type, which converts without a warning.
  return reinterpret_cast<TickCount64Function>(reinterpret_cast<void (*)()>(found));
}

ULONGLONG WINAPI TickCount64FromTickCount() {
  // The last count is read before the tick, so a tick read after another
  // thread's newer count fails the exchange and is read again.
  std::uint64_t last = g_lastTickCount.load(std::memory_order_acquire);
  for (;;) {
    const std::uint64_t next = ExtendTickCount(last, ::GetTickCount());
    if (g_lastTickCount.compare_exchange_weak(last, next, std::memory_order_acq_rel,
                                              std::memory_order_acquire))
      return next;
  }
}
