#pragma once
// GetTickCount64 for the thread runtime, without importing it.
//
// The POSIX-thread runtime that the i686 programs link statically (for the
// C++ exception machinery's locks) measures its timed waits with
// GetTickCount64, a Windows Vista function: imported, it makes Windows XP's
// loader refuse the whole program. TickCount64.cpp defines the runtime's
// import slot itself, so the linker takes no import from kernel32; the first
// call looks the function up, and where kernel32 lacks it a count made from
// GetTickCount takes its place.
#include <windows.h>

#include <cstdint>

using TickCount64Function = ULONGLONG(WINAPI*)();

// The name the runtime's objects use for the import slot (the i686 ABI
// decorates a __stdcall name with the size of its arguments).
#if defined(__i386__)
#define TS_TICKCOUNT64_SLOT "__imp__GetTickCount64@0"
#else
#define TS_TICKCOUNT64_SLOT "__imp_GetTickCount64"
#endif

extern "C" TickCount64Function ts_tickCount64Slot __asm__(TS_TICKCOUNT64_SLOT);

// kernel32's GetTickCount64 when the module exports it, else TickCount64FromTickCount.
TickCount64Function ResolveTickCount64(HMODULE kernel);

// Milliseconds since start-up in 64 bits, from the 32-bit GetTickCount: a
// wrap (every 49.7 days) is seen only by a call made within 49.7 days of the
// previous one, which the runtime's waits, measuring their own time, are.
ULONGLONG WINAPI TickCount64FromTickCount();

// The 64-bit count whose low half is now and which follows previous: the high
// half steps when the low half went backwards.
inline std::uint64_t ExtendTickCount(std::uint64_t previous, std::uint32_t now) {
  std::uint64_t next = (previous & ~std::uint64_t{0xFFFFFFFF}) | now;
  if (now < static_cast<std::uint32_t>(previous)) next += std::uint64_t{1} << 32;
  return next;
}
