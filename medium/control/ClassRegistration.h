#pragma once
// What the sample control's DllRegisterServer and DllUnregisterServer do:
// the keys an in-process ActiveX control keeps under HKEY_CLASSES_ROOT.
//
//   CLSID\{clsid}                          (default) = name
//   CLSID\{clsid}\InprocServer32           (default) = module path, ThreadingModel = Apartment
//   CLSID\{clsid}\ProgID                   (default) = progId
//   CLSID\{clsid}\VersionIndependentProgID (default) = versionIndependentProgId
//   CLSID\{clsid}\Control                  (marks the class as a control)
//   <progId>                               (default) = name, CLSID\(default) = {clsid}
//   <versionIndependentProgId>             (default) = name, CLSID\(default) = {clsid},
//                                          CurVer\(default) = progId
#include <windows.h>

#include <string>

#include "medium/control/ControlIdentity.h"

namespace medium {

class CClassRegistration {
 public:
  explicit CClassRegistration(const ControlIdentity& identity) : id_(identity) {}

  // Writes every key above with the module path as the in-process server.
  // S_OK, or SELFREG_E_CLASS after undoing a partial registration.
  HRESULT Register(const std::string& modulePath) const;

  // Removes the class key with all it holds, and each ProgID key that names
  // this class. Keys already gone count as removed: S_OK. SELFREG_E_CLASS
  // when a key of this class could not be removed.
  HRESULT Unregister() const;

 private:
  bool WriteClassKeys(const std::string& modulePath) const;
  bool WriteProgIdKey(const char* progId, const char* curVer) const;
  bool RemoveProgIdKey(const char* progId) const;
  bool NamesThisClass(const char* progId) const;
  std::string ClassKeyPath() const;

  const ControlIdentity& id_;
};

// Deletes the key parent\name with all its subkeys (RegDeleteKeyA refuses a
// key that still has subkeys). True when the key is gone, also when it was
// never there.
bool DeleteKeyTree(HKEY parent, const std::string& name);

// Writes a REG_SZ value below HKEY_CLASSES_ROOT, creating the key; an empty
// value name sets the key's default value.
bool SetClassesValue(const std::string& keyPath, const char* valueName, const std::string& data);

// Reads a REG_SZ value below HKEY_CLASSES_ROOT without creating anything.
bool ReadClassesValue(const std::string& keyPath, const char* valueName, std::string& data);

}  // namespace medium
