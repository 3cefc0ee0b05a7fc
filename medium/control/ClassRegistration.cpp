#include "medium/control/ClassRegistration.h"

#include <olectl.h>

#include <vector>

#include "framework/CodePage.h"
#include "framework/Handles.h"
#include "framework/Sys.h"

namespace medium {

bool SetClassesValue(const std::string& keyPath, const char* valueName, const std::string& data) {
  ScopedRegKey key;
  HKEY raw = nullptr;
  if (sys::RegCreateKey(HKEY_CLASSES_ROOT, keyPath.c_str(), &raw) != ERROR_SUCCESS)
    return false;
  key.reset(raw);
  const auto* bytes = reinterpret_cast<const BYTE*>(data.c_str());
  return sys::RegSetValueEx(key.get(), valueName, 0, REG_SZ, bytes, static_cast<DWORD>(data.size() + 1)) ==
         ERROR_SUCCESS;
}

bool ReadClassesValue(const std::string& keyPath, const char* valueName, std::string& data) {
  HKEY raw = nullptr;
  if (sys::RegOpenKeyEx(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return false;
  ScopedRegKey key(raw);
  DWORD type = 0;
  DWORD size = 0;
  if (sys::RegQueryValueEx(key.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  // One byte more than reported, so that a value stored without its
  // terminating zero still reads as a terminated text.
  std::vector<char> buffer(size + 1, '\0');
  if (sys::RegQueryValueEx(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS)
    return false;
  data.assign(buffer.data());
  return true;
}

bool DeleteKeyTree(HKEY parent, const std::string& name) {
  HKEY raw = nullptr;
  const LONG opened = sys::RegOpenKeyEx(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &raw);
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  {
    ScopedRegKey key(raw);
    // Always take the first subkey: the list shrinks as they are deleted.
    std::string child;
    for (;;) {
      const LONG found = sys::RegEnumKey(key.get(), 0, child);
      if (found == ERROR_NO_MORE_ITEMS) break;
      if (found != ERROR_SUCCESS || !DeleteKeyTree(key.get(), child)) return false;
    }
  }
  const LONG deleted = sys::RegDeleteKey(parent, name.c_str());
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

std::string CClassRegistration::ClassKeyPath() const { return std::string("CLSID\\") + id_.clsid; }

bool CClassRegistration::WriteClassKeys(const std::string& modulePath) const {
  const std::string key = ClassKeyPath();
  return SetClassesValue(key, "", id_.name) &&
         SetClassesValue(key + "\\InprocServer32", "", modulePath) &&
         SetClassesValue(key + "\\InprocServer32", "ThreadingModel", "Apartment") &&
         SetClassesValue(key + "\\ProgID", "", id_.progId) &&
         SetClassesValue(key + "\\VersionIndependentProgID", "", id_.versionIndependentProgId) &&
         SetClassesValue(key + "\\Control", "", "");
}

bool CClassRegistration::WriteProgIdKey(const char* progId, const char* curVer) const {
  const std::string key = progId;
  // The CLSID subkey first: a ProgID key that exists names its class, so a
  // failure half-way leaves nothing that Unregister would not recognise.
  if (!SetClassesValue(key + "\\CLSID", "", id_.clsid) || !SetClassesValue(key, "", id_.name))
    return false;
  return !curVer || SetClassesValue(key + "\\CurVer", "", curVer);
}

HRESULT CClassRegistration::Register(const std::string& modulePath) const {
  if (modulePath.empty()) return SELFREG_E_CLASS;
  if (WriteClassKeys(modulePath) && WriteProgIdKey(id_.progId, nullptr) &&
      WriteProgIdKey(id_.versionIndependentProgId, id_.progId))
    return S_OK;
  Unregister();
  return SELFREG_E_CLASS;
}

bool CClassRegistration::NamesThisClass(const char* progId) const {
  std::string clsid;
  return ReadClassesValue(std::string(progId) + "\\CLSID", "", clsid) &&
         cp936::EqualsNoCase(clsid, id_.clsid);
}

bool CClassRegistration::RemoveProgIdKey(const char* progId) const {
  // A ProgID that another class has taken over since is not ours to delete.
  if (!NamesThisClass(progId)) return true;
  return DeleteKeyTree(HKEY_CLASSES_ROOT, progId);
}

HRESULT CClassRegistration::Unregister() const {
  const bool progIds =
      RemoveProgIdKey(id_.versionIndependentProgId) & RemoveProgIdKey(id_.progId);
  const bool classKey = DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKeyPath());
  return progIds && classKey ? S_OK : SELFREG_E_CLASS;
}

}  // namespace medium
