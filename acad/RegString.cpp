// The four registry string routines. Each opens its key for the one call and
// closes it again through ScopedRegKey; none keeps a handle.
#include <vector>

#include "acad/AcadRegistry.h"
#include "acad/AcadText.h"
#include "framework/Handles.h"
#include "framework/Sys.h"

namespace {

// Open-or-create, as every registry access of the product does: reading an
// absent key creates it where the process may.
ScopedRegKey OpenOrCreate(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (sys::RegCreateKey(root, key.c_str(), &handle) != ERROR_SUCCESS) return ScopedRegKey();
  return ScopedRegKey(handle);
}

ScopedRegKey OpenExisting(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (sys::RegOpenKeyEx(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return ScopedRegKey();
  return ScopedRegKey(handle);
}

enum class Open { OrCreate, ExistingOnly };

BOOL ReadString(HKEY root, const std::string& key, const std::string& valueName, std::string& out,
                std::size_t bufferSize, Open how = Open::OrCreate) {
  out.clear();
  if (bufferSize == 0 || bufferSize > MAXDWORD) return FALSE;
  ScopedRegKey opened = how == Open::OrCreate ? OpenOrCreate(root, key) : OpenExisting(root, key);
  if (!opened) return FALSE;
  std::vector<char> buffer(bufferSize, 0);
  DWORD size = static_cast<DWORD>(bufferSize);
  if (sys::RegQueryValueEx(opened.get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
    return FALSE;
  // The registry does not promise a terminating zero within the bytes it
  // returned; take the text only from those.
  return RegValueText(buffer.data(), size, bufferSize, out) ? TRUE : FALSE;
}

BOOL WriteString(HKEY root, const std::string& key, const std::string& valueName, const std::string& data) {
  // A longer value would not fit the routines' buffer; storing a cut search
  // path would be worse than storing none, so it is refused whole.
  if (!FitsRegBuffer(data, kRegBufferSize)) return FALSE;
  ScopedRegKey opened = OpenOrCreate(root, key);
  if (!opened) return FALSE;
  const DWORD size = static_cast<DWORD>(data.size() + 1);
  const LONG status =
      sys::RegSetValueEx(opened.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), size);
  return status == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL WriteDword(HKEY root, const std::string& key, const std::string& valueName, DWORD data) {
  ScopedRegKey opened = OpenOrCreate(root, key);
  if (!opened) return FALSE;
  const LONG status = sys::RegSetValueEx(opened.get(), valueName.c_str(), 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&data), sizeof data);
  return status == ERROR_SUCCESS ? TRUE : FALSE;
}

}  // namespace

BOOL ReadRegStringLM(const std::string& key, const std::string& valueName, std::string& out, std::size_t bufferSize) {
  return ReadString(HKEY_LOCAL_MACHINE, key, valueName, out, bufferSize);
}

BOOL ReadRegStringCU(const std::string& key, const std::string& valueName, std::string& out) {
  return ReadString(HKEY_CURRENT_USER, key, valueName, out, kRegBufferSize);
}

BOOL ReadExistingRegStringCU(const std::string& key, const std::string& valueName, std::string& out) {
  return ReadString(HKEY_CURRENT_USER, key, valueName, out, kRegBufferSize, Open::ExistingOnly);
}

BOOL ReadExistingRegStringLM(const std::string& key, const std::string& valueName, std::string& out) {
  return ReadString(HKEY_LOCAL_MACHINE, key, valueName, out, kRegBufferSize, Open::ExistingOnly);
}

BOOL WriteRegStringLM(const std::string& key, const std::string& valueName, const std::string& data) {
  return WriteString(HKEY_LOCAL_MACHINE, key, valueName, data);
}

BOOL WriteRegStringCU(const std::string& key, const std::string& valueName, const std::string& data) {
  return WriteString(HKEY_CURRENT_USER, key, valueName, data);
}

BOOL WriteRegDwordLM(const std::string& key, const std::string& valueName, DWORD data) {
  return WriteDword(HKEY_LOCAL_MACHINE, key, valueName, data);
}
