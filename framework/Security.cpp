#include "framework/Security.h"

#include <aclapi.h>
#include <sddl.h>

#include "framework/WideText.h"

namespace security {
namespace {

std::wstring Ace(const wchar_t* rights, const wchar_t* principal, bool inherited) {
  return std::wstring(L"(A;") + (inherited ? L"OICI" : L"") + L";" + rights + L";;;" + principal + L")";
}

ApplyLog* g_log = nullptr;

// Creation with the descriptor; for the installation folder's kinds, where
// the process may not name Administrators as owner, with the default one.
template <typename Create>
bool CreateWith(Kind kind, const std::string& path, Create create) {
  Attributes attributes(kind);
  if (!attributes.get()) {
    ::SetLastError(ERROR_INVALID_SECURITY_DESCR);
    return false;
  }
  if (create(attributes.get())) {
    ApplyLog::Note(path, kind, true);
    return true;
  }
  if (::GetLastError() != ERROR_INVALID_OWNER || kind == Kind::batchFolder) return false;
  return create(nullptr);
}

}  // namespace

std::wstring SddlOf(Kind kind) {
  const bool folder = kind != Kind::trustedFile;
  // P: protected, nothing inherited from the parent.
  std::wstring text = L"O:BAD:P" + Ace(L"FA", L"BA", folder) + Ace(L"FA", L"SY", folder);
  // Users read and execute, as the system's own dialog grants it:
  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE, spelled out rather than as the
  // generic FRFX, which a file system would store unmapped.
  if (kind != Kind::batchFolder) text += Ace(L"0x1200a9", L"BU", folder);
  return text;
}

Descriptor::Descriptor(Kind kind) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(SddlOf(kind).c_str(), SDDL_REVISION_1, &descriptor,
                                                             nullptr))
    block_.reset(descriptor);
}

std::wstring Descriptor::Sddl() const {
  if (!block_) return std::wstring();
  LPWSTR text = nullptr;
  if (!::ConvertSecurityDescriptorToStringSecurityDescriptorW(
          block_.get(), SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr))
    return std::wstring();
  const ScopedLocal owned(text);
  return text;
}

Attributes::Attributes(Kind kind) : descriptor_(kind) {
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = descriptor_.get();
  attributes_.bInheritHandle = FALSE;
}

Attributes ProtectedFileAttributes() { return Attributes(Kind::trustedFile); }

BOOL CreateProtectedFolder(const std::string& path, Kind kind) {
  const std::wstring wide = cp936::ToWide(path);
  return CreateWith(kind, path, [&](SECURITY_ATTRIBUTES* attributes) {
    return ::CreateDirectoryW(wide.c_str(), attributes) != FALSE;
  });
}

bool MakeProtectedFile(const std::string& path, Kind kind, bool* created) {
  if (created) *created = false;
  const std::wstring wide = cp936::ToWide(path);
  const bool made = CreateWith(kind, path, [&](SECURITY_ATTRIBUTES* attributes) {
    const ScopedFile file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, attributes, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
  });
  if (made) {
    if (created) *created = true;
    return true;
  }
  const DWORD error = ::GetLastError();
  if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  return Protect(path, kind);
}

bool Protect(const std::string& path, Kind kind) {
  const Descriptor descriptor(kind);
  PSID owner = nullptr;
  PACL dacl = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  if (!descriptor || !::GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted) ||
      !::GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted) || !present)
    return false;
  ApplyLog::Note(path, kind, false);
  // PROTECTED: the parent's inheritable entries no longer reach it. The
  // owner goes too: an owner may always rewrite the DACL.
  std::wstring wide = cp936::ToWide(path);
  const SECURITY_INFORMATION what =
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
  return ::SetNamedSecurityInfoW(&wide[0], SE_FILE_OBJECT, what, owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

bool VolumeKeepsPermissions(const std::string& path) {
  const std::wstring wide = cp936::ToWide(path);
  wchar_t root[MAX_PATH + 1] = {};
  if (!::GetVolumePathNameW(wide.c_str(), root, MAX_PATH)) return false;
  DWORD flags = 0;
  if (!::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return false;
  return (flags & FILE_PERSISTENT_ACLS) != 0;
}

ApplyLog::ApplyLog() { g_log = this; }

ApplyLog::~ApplyLog() {
  if (g_log == this) g_log = nullptr;
}

void ApplyLog::Note(const std::string& path, Kind kind, bool created) {
  if (g_log) g_log->entries_.push_back({path, kind, created});
}

}  // namespace security
