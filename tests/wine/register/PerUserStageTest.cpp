// Every user of the machine: the per-user program and its Active Setup
// component, as the installation leaves them run as SYSTEM and as a user,
// and the per-user program started the way Windows starts it at a user's
// sign-in (its command read from the component's key).
//
// Wine runs everything as one user: the SYSTEM case is the worker's account
// flag set by the test, and "another user" is this prefix's user with no
// product profile yet.
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <gtest/gtest.h>

#include <map>

#include "acad/AcadText.h"
#include "install/PerUserText.h"
#include "install/SetupThread.h"
#include "tests/wine/install/InstallHarness.h"
#include "tests/wine/register/RegisterHarness.h"

namespace {

using namespace registertest;
using Text = std::optional<std::string>;
using Names = std::vector<std::string>;

const HKEY LM = HKEY_LOCAL_MACHINE;
const HKEY CU = HKEY_CURRENT_USER;

const char kInstall[] = "C:\\Program Files\\Kelvarin\\Terrasum\\";
const char kProgram[] = "C:\\Program Files\\Kelvarin\\Terrasum\\TerrasumUser.exe";
const char kUserDesktop[] = "C:\\users\\peruser\\Desktop";
const char kUserPrograms[] = "C:\\users\\peruser\\Start Menu\\Programs";
const char kCommonDesktop[] = "C:\\users\\Public\\Desktop";
const char kCommonPrograms[] = "C:\\ProgramData\\Start Menu\\Programs";

// Every value below a key, by path, as "type:bytes".
using Tree = std::map<std::string, std::string>;
void Dump(HKEY root, const std::string& key, Tree& out) {
  for (const std::string& name : regtest::ValueNames(root, key))
    if (const auto value = regtest::ReadValue(root, key, name))
      out[key + "|" + name] = std::to_string(value->type) + ":" + value->bytes;
  for (const std::string& sub : regtest::Subkeys(root, key)) Dump(root, key + "\\" + sub, out);
}
Tree AutodeskTree() {
  Tree tree;
  Dump(CU, regtest::kAutodesk, tree);
  return tree;
}

class PerUser : public regtest::CleanRegistryTest {
 protected:
  void SetUp() override {
    regtest::CleanRegistryTest::SetUp();
    Clean();
    installtest::MakeFolders(kInstall);
    installtest::MakeFolders(kUserDesktop);
    installtest::MakeFolders(kCommonDesktop);
    ShellFoldersScope::SeedUser(kShellFoldersW, kUserDesktop, kUserPrograms);
    ShellFoldersScope::SeedCommon(kShellFoldersW, kCommonDesktop, kCommonPrograms);
    SeedRelease(R17_1, "C:\\Program Files\\AutoCAD 2008\\");
  }
  void TearDown() override {
    Clean();
    regtest::CleanRegistryTest::TearDown();
  }
  static void Clean() {
    CleanProductKeys();
    regtest::DeleteTree(LM, peruser::kComponentKey);
    regtest::DeleteTree(CU, peruser::kComponentKey);
    ::DeleteFileA(kProgram);
    // The links of an earlier test, which the next one looks for.
    for (const char* desktop : {kUserDesktop, kCommonDesktop})
      ::DeleteFileA((std::string(desktop) + "\\Terrasum V8.0.LNK").c_str());
    for (const char* programs : {kUserPrograms, kCommonPrograms}) {
      const std::string group = std::string(programs) + "\\" + kGroupName + "\\";
      for (const std::string& name : Enumerate(group, "*.*")) ::DeleteFileA((group + name).c_str());
      ::RemoveDirectoryA(group.c_str());
    }
  }
  // The installation's later stages as the worker runs them, with the built
  // Setup program as the program to leave.
  static std::string Install(CSetupThread& worker, bool asSystem) {
    worker.m_installFolder = kInstall;
    worker.m_perUserProgram = ui::BuildDir() + "bin\\Setup.exe";
    worker.m_asSystem = asSystem;
    worker.RegisterPerUserStep();
    worker.WriteRegistry();
    worker.CreateShortcuts();
    return worker.RecordText();
  }
  // The component's command started as Windows starts it at a sign-in; its
  // exit code, or a text saying why it did not run.
  static std::string SignIn() {
    const Text command = regtest::ReadString(LM, peruser::kComponentKey, "StubPath");
    if (!command) return "no StubPath";
    std::string line = *command;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &info))
      return "not started: " + std::to_string(::GetLastError());
    const DWORD waited = ::WaitForSingleObject(info.hProcess, 60000);
    DWORD code = 999;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return waited == WAIT_OBJECT_0 ? std::to_string(code) : "still running";
  }
};

TEST_F(PerUser, AsSystemEveryUserGetsTheStepAndTheAllUsersFolders) {
  CSetupThread worker;
  const std::string record = Install(worker, true);

  // The component, for every user at his next sign-in.
  EXPECT_EQ(regtest::ReadString(LM, peruser::kComponentKey, ""), Text("土方工程量计算软件 Terrasum V8.0"));
  EXPECT_EQ(regtest::ReadString(LM, peruser::kComponentKey, "StubPath"),
            Text(std::string("\"") + kProgram + "\" /PERUSER"));
  const Text version = regtest::ReadString(LM, peruser::kComponentKey, "Version");
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->compare(0, 4, "8,0,"), 0) << *version;
  const auto installed = regtest::ReadValue(LM, peruser::kComponentKey, "IsInstalled");
  ASSERT_TRUE(installed.has_value());
  EXPECT_EQ(installed->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(installed->bytes, std::string("\1\0\0\0", 4));
  // Nothing for the SYSTEM account itself: no mark, no profile.
  EXPECT_FALSE(regtest::KeyExists(CU, peruser::kComponentKey));
  EXPECT_EQ(ProductKeysWithProfile(R17_1), Names{}) << "no profile in the installing account";
  // The shortcuts where every user sees them.
  EXPECT_TRUE(installtest::Exists(std::string(kCommonDesktop) + "\\Terrasum V8.0.LNK"));
  EXPECT_TRUE(installtest::Exists(std::string(kCommonPrograms) + "\\" + kGroupName + "\\Terrasum V8.0.LNK"));
  EXPECT_FALSE(installtest::Exists(std::string(kUserDesktop) + "\\Terrasum V8.0.LNK"));
  EXPECT_FALSE(installtest::IsFolder(std::string(kUserPrograms) + "\\" + kGroupName));
  // The program and the component recorded (the machine's key only), ahead
  // of the product's keys.
  const Names lines = Lines(record);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], std::string("File Copy: ") + kProgram);
  EXPECT_EQ(lines[1], std::string("RegDB Key: 2,") + peruser::kComponentKey);
  EXPECT_EQ(lines[2], "RegDB Key: 2,SOFTWARE\\Kelvarin\\Terrasum\\V8");
  EXPECT_EQ(record.find("RegDB Key: 1,"), std::string::npos) << record;
  EXPECT_EQ(record.find(std::string("Made Dir: ") + kUserPrograms), std::string::npos) << record;

  // A user signs in: Windows runs the command. His profile appears, made as
  // the installation makes the installing user's; a second run changes nothing.
  ASSERT_EQ(SignIn(), "0");
  EXPECT_EQ(ProductKeysWithProfile(R17_1), Names{SeededProductKey(R17_1)});
  const Tree first = AutodeskTree();
  const std::string general =
      AcadProfileSubkeyPath(R17_1, SeededProductKey(R17_1), "<<Terrasum V8>>", kGeneralKey);
  EXPECT_EQ(regtest::ReadString(CU, general, "ACAD"),
            Text(std::string(kInstall) + "Support\\2007-09\\arx;" + kInstall + "Support\\2007-09\\Menu;;"));
  ASSERT_EQ(SignIn(), "0");
  EXPECT_EQ(AutodeskTree(), first) << "the second run changed the user's registry";

  // The same profile as the registry stage makes for the installing user.
  regtest::DeleteTree(CU, regtest::kAutodesk);
  SeedRelease(R17_1, "C:\\Program Files\\AutoCAD 2008\\");
  CSetupThread asUser;
  asUser.m_installFolder = kInstall;
  asUser.m_asSystem = false;
  asUser.WriteRegistry();
  EXPECT_EQ(AutodeskTree(), first);
}

TEST_F(PerUser, AsAUserHisCopyIsMarkedDoneAndHeGetsHisProfiles) {
  CSetupThread worker;
  const std::string record = Install(worker, false);
  const Text version = regtest::ReadString(LM, peruser::kComponentKey, "Version");
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(regtest::ReadString(CU, peruser::kComponentKey, "Version"), version) << "Windows does not run it for him";
  EXPECT_EQ(ProductKeysWithProfile(R17_1), Names{SeededProductKey(R17_1)}) << "from the installation itself";
  EXPECT_TRUE(installtest::Exists(std::string(kUserDesktop) + "\\Terrasum V8.0.LNK")) << "his own folders first";
  EXPECT_FALSE(installtest::Exists(std::string(kCommonDesktop) + "\\Terrasum V8.0.LNK"));
  const Names lines = Lines(record);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], std::string("RegDB Key: 2,") + peruser::kComponentKey);
  EXPECT_EQ(lines[2], std::string("RegDB Key: 1,") + peruser::kComponentKey) << "so that the uninstall removes his mark";

  // A reinstall: a larger version, for every user again.
  ::Sleep(2100);
  CSetupThread again;
  Install(again, false);
  const Text later = regtest::ReadString(LM, peruser::kComponentKey, "Version");
  ASSERT_TRUE(later.has_value());
  EXPECT_NE(later, version);
  EXPECT_EQ(regtest::ReadString(CU, peruser::kComponentKey, "Version"), later);
}

TEST_F(PerUser, TheProgramLeftRunsAsItsUserAndFindsItsFolder) {
  CSetupThread worker;
  Install(worker, true);
  // Setup asks for administrator rights; the per-user program may not.
  const HMODULE copy = ::LoadLibraryExA(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(copy, nullptr);
  const HRSRC found = ::FindResourceA(copy, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(copy, found))),
                             ::SizeofResource(copy, found));
  ::FreeLibrary(copy);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);

  // Without the product key, or with one naming a folder that is gone, the
  // program's own folder is the install folder.
  const std::string general =
      AcadProfileSubkeyPath(R17_1, SeededProductKey(R17_1), "<<Terrasum V8>>", kGeneralKey);
  const Text expected(std::string(kInstall) + "Support\\2007-09\\arx;" + kInstall + "Support\\2007-09\\Menu;;");
  for (const char* installPath : {"", "C:\\gone\\"}) {
    CleanProductKeys();
    if (*installPath) regtest::SetString(LM, kProductKey, "installPath", installPath);
    regtest::DeleteTree(CU, regtest::kAutodesk);
    SeedRelease(R17_1, "C:\\Program Files\\AutoCAD 2008\\");
    ASSERT_EQ(SignIn(), "0") << installPath;
    EXPECT_EQ(regtest::ReadString(CU, general, "ACAD"), expected) << installPath;
  }
}

// The account check's comparison, with the SIDs of the accounts a program
// may be started as; the token it reads is the real one of this process.
TEST(LocalSystem, OnlyTheSystemAccountsSid) {
  for (const auto& [text, system] : std::vector<std::pair<const char*, bool>>{
           {"S-1-5-18", true}, {"S-1-5-19", false}, {"S-1-5-20", false}, {"S-1-5-32-544", false},
           {"S-1-5-21-1-2-3-500", false}, {"S-1-5-18-1", false}}) {
    PSID sid = nullptr;
    ASSERT_TRUE(::ConvertStringSidToSidA(text, &sid)) << text;
    EXPECT_EQ(IsLocalSystemSid(sid), system) << text;
    ::LocalFree(sid);
  }
  EXPECT_FALSE(IsLocalSystemSid(nullptr));
  EXPECT_FALSE(RunsAsLocalSystem()) << "Wine's user";
}

}  // namespace
