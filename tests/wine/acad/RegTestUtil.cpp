#include "tests/wine/acad/RegTestUtil.h"

#include "framework/Handles.h"

namespace regtest {
namespace {

ScopedRegKey Open(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return ScopedRegKey();
  return ScopedRegKey(handle);
}

ScopedRegKey Create(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  const LONG status = ::RegCreateKeyA(root, key.c_str(), &handle);
  EXPECT_EQ(status, ERROR_SUCCESS) << "seeding key " << key;
  return ScopedRegKey(status == ERROR_SUCCESS ? handle : nullptr);
}

}  // namespace

void SetRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
  ScopedRegKey k = Create(root, key);
  if (!k) return;
  const LONG status = ::RegSetValueExA(k.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
  EXPECT_EQ(status, ERROR_SUCCESS) << "seeding value " << key << " : " << name;
}

void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  SetRaw(root, key, name, REG_SZ, std::string(value.c_str(), value.size() + 1));
}

void CreateKey(HKEY root, const std::string& key) { Create(root, key); }

bool KeyExists(HKEY root, const std::string& key) { return static_cast<bool>(Open(root, key)); }

std::optional<Value> ReadValue(HKEY root, const std::string& key, const std::string& name) {
  ScopedRegKey k = Open(root, key);
  if (!k) return std::nullopt;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::string bytes(size + 2, '\0');
  DWORD got = size + 2;
  if (::RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &got) !=
      ERROR_SUCCESS)
    return std::nullopt;
  bytes.resize(got);
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && !bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return Value{type, bytes};
}

std::optional<std::string> ReadString(HKEY root, const std::string& key, const std::string& name) {
  std::optional<Value> v = ReadValue(root, key, name);
  if (!v || v->type != REG_SZ) return std::nullopt;
  return v->bytes;
}

std::vector<std::string> Subkeys(HKEY root, const std::string& key) {
  std::vector<std::string> names;
  ScopedRegKey k = Open(root, key);
  if (!k) return names;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (::RegEnumKeyExA(k.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& key) {
  std::vector<std::string> names;
  ScopedRegKey k = Open(root, key);
  if (!k) return names;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (::RegEnumValueA(k.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

void DeleteTree(HKEY root, const std::string& key) {
  for (const std::string& sub : Subkeys(root, key)) DeleteTree(root, key + "\\" + sub);
  ::RegDeleteKeyA(root, key.c_str());
}

void CleanRegistryTest::Clean() {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    DeleteTree(root, kAutodesk);
    DeleteTree(root, kScratch);
    EXPECT_FALSE(KeyExists(root, kAutodesk)) << "AutoCAD's keys cleared";
  }
}

}  // namespace regtest
