// The registry, its string values converted as the 8-bit functions convert them.
#include <cstring>
#include <vector>

#include "framework/Sys.h"
#include "framework/SysArgs.h"
#include "framework/WideText.h"

namespace sys {
namespace {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The whole value as the 8-bit function would hand it over: the string types
// converted (every character the registry returned, zeros included), the
// others as stored.
LONG ReadWholeValue(HKEY key, const wchar_t* name, DWORD& type, std::string& bytes) {
  std::vector<BYTE> raw(256);
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = static_cast<DWORD>(raw.size());
    const LONG status = ::RegQueryValueExW(key, name, nullptr, &type, raw.data(), &size);
    if (status == ERROR_MORE_DATA) {
      // The value grew between the calls, or the first buffer was small.
      raw.resize(static_cast<std::size_t>(size) + 2);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    if (size > raw.size()) size = static_cast<DWORD>(raw.size());
    if (IsStringType(type)) {
      std::wstring wide(size / sizeof(wchar_t), L'\0');
      if (!wide.empty()) std::memcpy(wide.data(), raw.data(), wide.size() * sizeof(wchar_t));
      bytes = cp936::FromWide(wide);
    } else {
      bytes.assign(reinterpret_cast<const char*>(raw.data()), size);
    }
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

}  // namespace

// ---- Registry ----

LONG RegCreateKey(HKEY root, const char* subKey, HKEY* key) { return ::RegCreateKeyW(root, WideArg(subKey).get(), key); }

LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key) {
  return ::RegOpenKeyExW(root, WideArg(subKey).get(), options, access, key);
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
  if (reserved) return ERROR_INVALID_PARAMETER;
  if (data && !size) return ERROR_INVALID_PARAMETER;
  DWORD valueType = REG_NONE;
  std::string bytes;
  const LONG status = ReadWholeValue(key, WideArg(name).get(), valueType, bytes);
  if (status != ERROR_SUCCESS) return status;
  if (type) *type = valueType;
  if (!size) return ERROR_SUCCESS;
  const DWORD needed = static_cast<DWORD>(bytes.size());
  const DWORD room = *size;
  *size = needed;
  if (!data) return ERROR_SUCCESS;
  if (room < needed) return ERROR_MORE_DATA;
  if (needed) std::memcpy(data, bytes.data(), needed);
  return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  if (!IsStringType(type) || !data) return ::RegSetValueExW(key, WideArg(name).get(), reserved, type, data, size);
  // Every byte given, its terminating zero included, as the 8-bit function
  // stores them.
  const std::wstring wide = cp936::ToWide(std::string(reinterpret_cast<const char*>(data), size));
  return ::RegSetValueExW(key, WideArg(name).get(), reserved, type, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

LONG RegDeleteKey(HKEY root, const char* subKey) { return ::RegDeleteKeyW(root, WideArg(subKey).get()); }

LONG RegEnumKey(HKEY key, DWORD index, std::string& name) {
  name.clear();
  wchar_t buffer[256];  // the registry's own limit for a key name, and its terminator
  DWORD length = 256;
  const LONG status = ::RegEnumKeyExW(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) name = cp936::FromWide(std::wstring(buffer, length));
  return status;
}

}  // namespace sys
