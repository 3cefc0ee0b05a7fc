// The sample controls of the distribution medium under Wine: TerrasumGrid.ocx
// registers its class as an in-process control and removes it again;
// FailingControl.ocx reports S_FALSE and registers nothing. Both export their
// entry points under the plain names the installer and uninstaller look up.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "framework/Handles.h"
#include "medium/control/ControlIdentity.h"
#include "tests/ui/UiTest.h"

namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

const char kFolder[] = "C:\\示例 控件";  // a blank and Chinese, as in an install folder

bool KeyExists(const std::string& path) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(raw);
  return true;
}

// The REG_SZ value, or "<missing>" / "<type N>" so that a failure says what it saw.
std::string Value(const std::string& path, const char* name = "") {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return "<missing>";
  ScopedRegKey key(raw);
  char data[1024] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS)
    return "<missing>";
  if (type != REG_SZ) return "<type " + std::to_string(type) + ">";
  return data;
}

void SetValue(const std::string& path, const std::string& data) {
  HKEY raw = nullptr;
  ASSERT_EQ(::RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &raw), ERROR_SUCCESS) << path;
  ScopedRegKey key(raw);
  ::RegSetValueExA(key.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
}

std::string ClassKey(const medium::ControlIdentity& id) { return std::string("CLSID\\") + id.clsid; }

bool AnyKeyOf(const medium::ControlIdentity& id) {
  return KeyExists(ClassKey(id)) || KeyExists(id.progId) || KeyExists(id.versionIndependentProgId);
}

// A control copied from the build tree into a folder of its own and loaded.
class LoadedControl {
 public:
  LoadedControl(const char* file, const std::string& folder) {
    ::CreateDirectoryA(folder.c_str(), nullptr);
    path_ = folder + "\\" + file;
    const std::string built = ui::BuildDir() + "bin\\" + file;
    copied_ = ::CopyFileA(built.c_str(), path_.c_str(), FALSE) != 0;
    module_.reset(::LoadLibraryA(path_.c_str()));
  }
  bool Loaded() const { return copied_ && module_; }
  const std::string& Path() const { return path_; }
  FARPROC Export(const char* name) const { return ::GetProcAddress(module_.get(), name); }
  HRESULT Call(const char* name) const {
    auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(Export(name)));
    return entry ? entry() : E_NOTIMPL;
  }
  HRESULT Register() const { return Call("DllRegisterServer"); }
  HRESULT Unregister() const { return Call("DllUnregisterServer"); }
  void Unload() { module_.reset(); }

 private:
  std::string path_;
  bool copied_ = false;
  ScopedLibrary module_;
};

class SampleControl : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(grid.Loaded()) << grid.Path();
    ASSERT_TRUE(failing.Loaded()) << failing.Path();
  }
  void TearDown() override {
    grid.Unregister();
    failing.Unregister();
  }
  LoadedControl grid{"TerrasumGrid.ocx", kFolder};
  LoadedControl failing{"FailingControl.ocx", kFolder};
  const medium::ControlIdentity& g = medium::kGridControl;
};

TEST_F(SampleControl, ExportsItsEntryPointsUnderPlainNames) {
  for (const LoadedControl* control : {&grid, &failing}) {
    for (const char* name :
         {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"})
      EXPECT_NE(control->Export(name), nullptr) << name << " in " << control->Path();
    EXPECT_EQ(control->Export("DllRegisterServer@0"), nullptr) << "stdcall decoration exported";
    EXPECT_EQ(control->Export("_DllRegisterServer@0"), nullptr) << "stdcall decoration exported";
  }
  EXPECT_EQ(grid.Call("DllCanUnloadNow"), S_OK);
  auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(grid.Export("DllGetClassObject")));
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject(IID_IUnknown, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr) << "no object handed out";
}

TEST_F(SampleControl, RegistersItsClassAsAnInProcessControl) {
  ASSERT_FALSE(AnyKeyOf(g)) << "clean registry before the test";
  ASSERT_EQ(grid.Register(), S_OK);
  const std::string cls = ClassKey(g);
  EXPECT_EQ(Value(cls), g.name) << "class name";
  EXPECT_EQ(Value(cls + "\\InprocServer32"), grid.Path()) << "its own module path";
  EXPECT_EQ(Value(cls + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(Value(cls + "\\ProgID"), g.progId);
  EXPECT_EQ(Value(cls + "\\VersionIndependentProgID"), g.versionIndependentProgId);
  EXPECT_TRUE(KeyExists(cls + "\\Control")) << "marked as a control";
  EXPECT_EQ(Value(g.progId), g.name);
  EXPECT_EQ(Value(std::string(g.progId) + "\\CLSID"), g.clsid);
  EXPECT_EQ(Value(std::string(g.versionIndependentProgId) + "\\CLSID"), g.clsid);
  EXPECT_EQ(Value(std::string(g.versionIndependentProgId) + "\\CurVer"), g.progId);

  grid.Unload();
  EXPECT_EQ(Value(cls + "\\InprocServer32"), grid.Path()) << "kept after the file is unloaded";
}

TEST_F(SampleControl, RegisteringAgainFromAnotherFolderNamesTheNewFile) {
  LoadedControl moved("TerrasumGrid.ocx", "C:\\第二份");
  ASSERT_TRUE(moved.Loaded()) << moved.Path();
  ASSERT_EQ(grid.Register(), S_OK);
  ASSERT_EQ(grid.Register(), S_OK) << "registering twice";
  // Loaded by full path, the second copy is a module of its own.
  ASSERT_EQ(moved.Register(), S_OK);
  EXPECT_EQ(Value(ClassKey(g) + "\\InprocServer32"), moved.Path());
}

TEST_F(SampleControl, UnregisteringRemovesEverythingItRegistered) {
  ASSERT_EQ(grid.Register(), S_OK);
  // A key added below the class after registration (as a category
  // registration would) must not keep the class key alive.
  SetValue(ClassKey(g) + "\\Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}", "");
  EXPECT_EQ(grid.Unregister(), S_OK);
  EXPECT_FALSE(KeyExists(ClassKey(g))) << "class key";
  EXPECT_FALSE(KeyExists(g.progId)) << "ProgID";
  EXPECT_FALSE(KeyExists(g.versionIndependentProgId)) << "version-independent ProgID";
  EXPECT_TRUE(KeyExists("CLSID")) << "the CLSID root itself stays";
  EXPECT_EQ(grid.Unregister(), S_OK) << "unregistering what is gone succeeds";
}

TEST_F(SampleControl, UnregisteringLeavesAProgIdThatAnotherClassTookOver) {
  ASSERT_EQ(grid.Register(), S_OK);
  const std::string other = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
  SetValue(std::string(g.versionIndependentProgId) + "\\CLSID", other);
  EXPECT_EQ(grid.Unregister(), S_OK);
  EXPECT_EQ(Value(std::string(g.versionIndependentProgId) + "\\CLSID"), other)
      << "another class's ProgID is not ours to delete";
  EXPECT_FALSE(KeyExists(g.progId)) << "our own versioned ProgID is removed";
  EXPECT_FALSE(KeyExists(ClassKey(g)));
  ::SHDeleteKeyA(HKEY_CLASSES_ROOT, g.versionIndependentProgId);
}

TEST_F(SampleControl, FailingTwinReportsSFalseAndRegistersNothing) {
  EXPECT_EQ(failing.Register(), S_FALSE) << "S_FALSE, 1";
  EXPECT_FALSE(AnyKeyOf(medium::kFailingControl)) << "nothing of its own class";
  EXPECT_FALSE(AnyKeyOf(g)) << "nothing of the grid control's class";

  ASSERT_EQ(grid.Register(), S_OK);
  EXPECT_EQ(failing.Unregister(), S_OK) << "nothing of its own to remove";
  EXPECT_EQ(Value(ClassKey(g) + "\\InprocServer32"), grid.Path())
      << "the twin leaves the grid control's registration alone";
}

}  // namespace
