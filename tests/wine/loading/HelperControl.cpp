// A control that links a helper DLL shipped beside it in Controls\: it
// registers itself by writing the helper's value under
// HKEY_CURRENT_USER\Software\TerrasumTest, HelperControl, and unregisters by
// deleting it. It loads only where its own folder is searched for its
// dependencies.
#include <windows.h>

extern "C" __declspec(dllimport) DWORD HelperValue();

namespace {
const wchar_t kKey[] = L"Software\\TerrasumTest";
const wchar_t kValue[] = L"HelperControl";
}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  const DWORD value = HelperValue();
  const LONG rc = ::RegSetValueExW(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  ::RegCloseKey(key);
  return rc == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return S_OK;
  ::RegDeleteValueW(key, kValue);
  ::RegCloseKey(key);
  return HelperValue() == 4711 ? S_OK : E_FAIL;
}
