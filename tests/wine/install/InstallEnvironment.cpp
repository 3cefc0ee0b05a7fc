// The copy-stage tests run without the shell's "Shell Folders" values, so a
// complete run's later stages add only the control and product-key entries
// (the shortcut stage makes nothing); the shortcut stage has tests of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct SavedValue {
  HKEY root;
  std::string key, name, data;
  bool present;
};

class NoShellFolders : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* w = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const char* n = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Explorer\\Shell Folders";
    for (const char* key : {w, n}) {
      Take(HKEY_CURRENT_USER, key, "Desktop");
      Take(HKEY_CURRENT_USER, key, "Programs");
      Take(HKEY_LOCAL_MACHINE, key, "Common Desktop");
      Take(HKEY_LOCAL_MACHINE, key, "Common Programs");
    }
  }
  void TearDown() override {
    for (const SavedValue& v : saved_) {
      if (!v.present) continue;
      HKEY k;
      if (::RegCreateKeyA(v.root, v.key.c_str(), &k) != ERROR_SUCCESS) continue;
      ::RegSetValueExA(k, v.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.data.c_str()),
                       static_cast<DWORD>(v.data.size() + 1));
      ::RegCloseKey(k);
    }
  }

 private:
  void Take(HKEY root, const char* key, const char* name) {
    SavedValue v{root, key, name, {}, false};
    HKEY k;
    if (::RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
      char buf[1024] = {};
      DWORD size = sizeof buf - 1;
      v.present = ::RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS;
      v.data = buf;
      ::RegDeleteValueA(k, name);
      ::RegCloseKey(k);
    }
    saved_.push_back(v);
  }
  std::vector<SavedValue> saved_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new NoShellFolders);

}  // namespace
