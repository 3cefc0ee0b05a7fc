// Entry points of the sample ActiveX control TerrasumGrid.ocx (and of its
// failing twin FailingControl.ocx, built with TS_FAILING_CONTROL). The
// control registers its class the way an in-process control does; it serves
// no objects, so DllGetClassObject offers none.
#include <windows.h>
#include <olectl.h>

#include <new>
#include <string>

#include "framework/WideText.h"
#include "medium/control/ClassRegistration.h"
#include "medium/control/ControlIdentity.h"

namespace {

// The module handle is per process by nature; DllMain sets it once.
HINSTANCE g_module = nullptr;

const medium::ControlIdentity& Identity() {
#ifdef TS_FAILING_CONTROL
  return medium::kFailingControl;
#else
  return medium::kGridControl;
#endif
}

#ifndef TS_FAILING_CONTROL
// The control's own file path. Empty when the path is longer than a path may
// be, or has a character that the registry text cannot take back: a wrong
// path must never become the registered server.
std::string ModulePath() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameW(g_module, path, MAX_PATH + 1);
  std::string text;
  if (length == 0 || length > MAX_PATH - 1 || !cp936::FromWideExact(std::wstring(path, length), text))
    return std::string();
  return text;
}
#endif

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

// Exceptions must not leave an export: the caller is C or another module.
STDAPI DllRegisterServer() {
#ifdef TS_FAILING_CONTROL
  // The failing twin: reports S_FALSE, which callers must treat as failure.
  return S_FALSE;
#else
  try {
    return medium::CClassRegistration(Identity()).Register(ModulePath());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
#endif
}

STDAPI DllUnregisterServer() {
  try {
    return medium::CClassRegistration(Identity()).Unregister();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
  if (object) *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return S_OK; }
