#include "framework/ProcessAccount.h"

#include <windows.h>

#include <vector>

#include "framework/Handles.h"

bool RunsAsLocalSystem() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  const ScopedHandle token(raw);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return false;
  return IsLocalSystemSid(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid);
}

bool IsLocalSystemSid(void* sid) {
  if (!sid || !::IsValidSid(sid)) return false;
  // The well-known SID built by hand rather than by IsWellKnownSid, whose
  // table of names differs between the Windows releases that have it.
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID system = nullptr;
  if (!::AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system)) return false;
  const bool same = ::EqualSid(sid, system) != FALSE;
  ::FreeSid(system);
  return same;
}
