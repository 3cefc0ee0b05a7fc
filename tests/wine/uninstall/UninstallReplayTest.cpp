// The replay of hand-made install records under Wine: real files, folders,
// registry keys and a real ActiveX control, with the worker on its own
// thread reporting to a window of the test.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Handles.h"
#include "install/InstallRecord.h"
#include "medium/control/ControlIdentity.h"
#include "tests/ui/UiTest.h"
#include "tests/wine/uninstall/ReplayHarness.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"

namespace {

using Events = std::vector<std::string>;

std::string Fc(const std::string& p) { return "File Copy: " + p; }
std::string Md(const std::string& p) { return "Made Dir: " + p; }
std::string Rc(const std::string& p) { return "Reg Ctrl: " + p; }
std::string Rk(const std::string& v) { return "RegDB Key: " + v; }

TEST(UninstallReplay, FilesAreDeletedWithOneMessageEachAlsoWhenAlreadyGone) {
  const std::string dir = ut::FreshFolder("files");
  ut::MakeFolders(dir + "\\Support");
  const std::string a = dir + "\\a.txt", b = dir + "\\Support\\只读.arx", gone = dir + "\\gone.dat",
                    log = dir + "\\Uninstall.log", c = dir + "\\after the record.txt";
  for (const auto& f : {a, b, c}) ASSERT_TRUE(ut::WriteBytes(f, "x")) << f;
  ASSERT_TRUE(::SetFileAttributesA(b.c_str(), FILE_ATTRIBUTE_READONLY));
  // The record lists itself in the middle: the replay goes on from memory.
  ASSERT_TRUE(ut::WriteRecord(log, ut::Lines({Fc(a), Fc(b), Fc(gone), Fc(log), Fc(c)})));

  ut::TestWorker worker;
  ut::Recorder recorder;
  std::vector<std::string> stillThereAtMessage;
  recorder.onFile = [&](const std::string& p) {
    if (ut::Exists(p)) stillThereAtMessage.push_back(p);
  };
  ASSERT_TRUE(ut::RunReplay(worker, recorder, log));
  EXPECT_EQ(worker.CountEntries(record::kFileCopy), 5);
  EXPECT_EQ(recorder.events,
            (Events{"file " + a, "file " + b, "file " + gone, "file " + log, "file " + c, "files done", "done"}));
  EXPECT_TRUE(stillThereAtMessage.empty()) << "deleted before its message: " << stillThereAtMessage.size();
  for (const auto& f : {a, b, log, c}) EXPECT_FALSE(ut::Exists(f)) << "not deleted: " << f;
  EXPECT_EQ(worker.batches, 1) << "self-removal batch started once, after the stages";
}

TEST(UninstallReplay, LfOnlyAndCrLfRecordsAndALastLineWithoutLfGiveTheSameReplay) {
  const std::string dir = ut::FreshFolder("line ends");
  const std::vector<std::string> lines = {Md(dir + "\\sub"), Fc(dir + "\\sub\\one.txt"), Fc(dir + "\\two.txt")};
  std::string lastNoLf = ut::Lines(lines, "\n");
  lastNoLf.pop_back();
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"CR LF", ut::Lines(lines, "\r\n")}, {"LF", ut::Lines(lines, "\n")}, {"last without LF", lastNoLf}};
  for (const auto& [name, bytes] : variants) {
    ut::MakeFolders(dir + "\\sub");
    ut::WriteBytes(dir + "\\sub\\one.txt", "1");
    ut::WriteBytes(dir + "\\two.txt", "2");
    ASSERT_TRUE(ut::WriteRecord(dir + "\\Uninstall.log", bytes));
    ut::TestWorker worker;
    ut::Recorder recorder;
    ASSERT_TRUE(ut::RunReplay(worker, recorder, dir + "\\Uninstall.log")) << name;
    EXPECT_EQ(worker.RecordText().find('\r'), std::string::npos) << name << ": CR left in the text";
    EXPECT_EQ(recorder.events,
              (Events{"file " + dir + "\\sub\\one.txt", "file " + dir + "\\two.txt", "files done", "done"}))
        << name;
    EXPECT_FALSE(ut::Exists(dir + "\\two.txt")) << name << ": last entry's file";
    EXPECT_FALSE(ut::Exists(dir + "\\sub")) << name << ": folder";
  }
}

TEST(UninstallReplay, FoldersGoInnerFirstAndAFolderWithAForeignFileStays) {
  const std::string dir = ut::FreshFolder("folders");
  const std::string outer = dir + "\\图框", inner = outer + "\\内层", keep = dir + "\\Data",
                    foreign = keep + "\\user's own.dwg";
  ut::MakeFolders(inner);
  ut::MakeFolders(keep);
  ut::WriteBytes(foreign, "mine");
  ASSERT_TRUE(ut::WriteRecord(dir + "\\Uninstall.log", ut::Lines({Md(outer), Md(inner), Md(keep)})));
  ut::TestWorker worker;
  ut::Recorder recorder;
  ASSERT_TRUE(ut::RunReplay(worker, recorder, dir + "\\Uninstall.log"));
  EXPECT_EQ(recorder.events, (Events{"files done", "done"})) << "a record without file entries still finishes";
  EXPECT_FALSE(ut::Exists(inner)) << "inner folder";
  EXPECT_FALSE(ut::Exists(outer)) << "outer folder, recorded before the inner one";
  EXPECT_TRUE(ut::Exists(foreign)) << "a file the record does not list";
  EXPECT_TRUE(ut::IsFolder(keep)) << "the folder holding it";
}

TEST(UninstallReplay, KeysAreDeletedUnderTheirRootsAndBadEntriesAreSkipped) {
  const std::string base = "Software\\TsUninstallTest";
  struct Key {
    HKEY root;
    std::string path;
    bool gone;
  };
  const std::vector<Key> keys = {
      {HKEY_CLASSES_ROOT, "TsUninstallTest.Classes", true},
      {HKEY_CURRENT_USER, base + "\\User", true},
      {HKEY_LOCAL_MACHINE, base + "\\Machine", true},
      {HKEY_USERS, ".DEFAULT\\" + base + "\\Users", true},
      {HKEY_CURRENT_CONFIG, base + "\\Config", true},
      {HKEY_CURRENT_CONFIG, base + "\\Config7", true},
      {HKEY_LOCAL_MACHINE, base + "\\Config7", false},
      {HKEY_LOCAL_MACHINE, base + "\\Parent", false},
      {HKEY_LOCAL_MACHINE, base + "\\Parent\\Child", false},
      {HKEY_LOCAL_MACHINE, base + "\\NoComma", false},
      {HKEY_CURRENT_CONFIG, base + "\\NoComma", false},
      {HKEY_CURRENT_CONFIG, "2" + base + "\\NoComma", false},
  };
  for (const auto& k : keys) ut::MakeKey(k.root, k.path);
  const std::string dir = ut::FreshFolder("keys");
  ASSERT_TRUE(ut::WriteRecord(dir + "\\Uninstall.log",
                              ut::Lines({Rk("0,TsUninstallTest.Classes"), Rk("1," + base + "\\User"),
                                         Rk("2," + base + "\\Machine"), Rk("3,.DEFAULT\\" + base + "\\Users"),
                                         Rk("4," + base + "\\Config"), Rk("7," + base + "\\Config7"),
                                         Rk("2," + base + "\\Parent"), Rk("2" + base + "\\NoComma"), Rk("2,")})));
  ut::TestWorker worker;
  ut::Recorder recorder;
  ASSERT_TRUE(ut::RunReplay(worker, recorder, dir + "\\Uninstall.log"));
  EXPECT_EQ(recorder.events, (Events{"files done", "done"}));
  for (const auto& k : keys)
    EXPECT_EQ(ut::KeyExists(k.root, k.path), !k.gone) << k.path << (k.gone ? " should be deleted" : " should stay");
  EXPECT_TRUE(ut::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE")) << "\"2,\" names no key";
  ut::DeleteTree(HKEY_LOCAL_MACHINE, base);
  ut::DeleteTree(HKEY_CURRENT_CONFIG, base);
  ut::DeleteTree(HKEY_CURRENT_CONFIG, "2" + base);
}

// The sample control of the medium, copied into the test's folder and
// registered the way Setup registers it.
std::string InstallGridControl(const std::string& folder) {
  const std::string path = folder + "\\TerrasumGrid.ocx";
  if (!::CopyFileA((ui::BuildDir() + "bin\\TerrasumGrid.ocx").c_str(), path.c_str(), FALSE)) return "";
  ScopedLibrary lib(::LoadLibraryA(path.c_str()));
  if (!lib) return "";
  using Entry = HRESULT(__stdcall*)();
  const auto reg = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(::GetProcAddress(lib.get(), "DllRegisterServer")));
  return reg && reg() == S_OK ? path : "";
}

const std::string kGridClassKey = std::string("CLSID\\") + medium::kGridControl.clsid;

TEST(UninstallReplay, ControlsAreUnregisteredBeforeTheFileStageDeletesThem) {
  const std::string dir = ut::FreshFolder("controls");
  const std::string controls = dir + "\\Controls";
  ut::MakeFolders(controls);
  const std::string grid = InstallGridControl(controls);
  ASSERT_FALSE(grid.empty()) << "sample control not registered";
  ASSERT_TRUE(ut::KeyExists(HKEY_CLASSES_ROOT, kGridClassKey));
  const std::string text = controls + "\\不是控件.ocx", program = controls + "\\NoExport.ocx",
                    missing = controls + "\\missing.ocx";
  ut::WriteBytes(text, "not a module");
  ASSERT_TRUE(::CopyFileA((ui::BuildDir() + "testbin\\NoExport.dll").c_str(), program.c_str(), FALSE));
  // As Setup writes it: the copied files first, the registrations later.
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, ut::Lines({Md(controls), Fc(grid), Fc(text), Fc(program), Rc(grid), Rc(text),
                                              Rc(program), Rc(missing), Fc(log)})));
  ut::TestWorker worker;
  ut::Recorder recorder;
  ASSERT_TRUE(ut::RunReplay(worker, recorder, log));
  EXPECT_FALSE(ut::KeyExists(HKEY_CLASSES_ROOT, kGridClassKey)) << "the control's DllUnregisterServer never ran";
  EXPECT_FALSE(ut::KeyExists(HKEY_CLASSES_ROOT, medium::kGridControl.progId));
  EXPECT_EQ(recorder.events,
            (Events{"file " + grid, "file " + text, "file " + program, "file " + log, "files done", "done"}))
      << "one message per file entry, none per control";
  for (const auto& f : {grid, text, program, log}) EXPECT_FALSE(ut::Exists(f)) << f;
  EXPECT_FALSE(ut::Exists(controls));
}

TEST(UninstallReplay, UnregisterControlIsTrueOnlyWhenTheControlSaidSo) {
  const std::string dir = ut::FreshFolder("unregister");
  const std::string grid = InstallGridControl(dir);
  ASSERT_FALSE(grid.empty());
  const std::string program = dir + "\\no export.ocx", text = dir + "\\text.ocx",
                    refusing = dir + "\\RefusingControl.ocx";
  ASSERT_TRUE(::CopyFileA((ui::BuildDir() + "testbin\\NoExport.dll").c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(::CopyFileA((ui::BuildDir() + "testbin\\RefusingControl.ocx").c_str(), refusing.c_str(), FALSE));
  ut::WriteBytes(text, "MZ but no module");
  EXPECT_TRUE(CUninstallThread::UnregisterControl(grid)) << "registered sample control";
  EXPECT_FALSE(ut::KeyExists(HKEY_CLASSES_ROOT, kGridClassKey));
  EXPECT_FALSE(CUninstallThread::UnregisterControl(program)) << "module without DllUnregisterServer";
  {
    ScopedLibrary lib(::LoadLibraryA(refusing.c_str()));
    ASSERT_TRUE(lib && ::GetProcAddress(lib.get(), "DllUnregisterServer")) << "the refusing control exports it";
  }
  EXPECT_FALSE(CUninstallThread::UnregisterControl(refusing)) << "DllUnregisterServer reporting E_FAIL";
  EXPECT_FALSE(CUninstallThread::UnregisterControl(text)) << "file that is no module";
  EXPECT_FALSE(CUninstallThread::UnregisterControl(dir + "\\missing.ocx")) << "missing file";
  EXPECT_FALSE(CUninstallThread::UnregisterControl("ole32.dll")) << "a bare name is not searched for";
  EXPECT_TRUE(ut::Exists(grid) && ut::Exists(program)) << "UnregisterControl itself deletes nothing";
}

UINT ProcessErrorMode() {
  using Getter = UINT(WINAPI*)();
  const auto get = reinterpret_cast<Getter>(
      reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetErrorMode")));
  return get ? get() : 0xFFFFFFFF;
}

// The user-interface thread runs on while the worker loads controls: the
// worker quiets the system's boxes for its own thread only.
TEST(UninstallReplay, ControlsLoadWithTheWorkersOwnErrorMode) {
  const std::string dir = ut::FreshFolder("error mode");
  const std::string probe = dir + "\\ModeProbe.ocx", log = dir + "\\Uninstall.log";
  ASSERT_TRUE(::CopyFileA((ui::BuildDir() + "testbin\\ModeProbe.ocx").c_str(), probe.c_str(), FALSE));
  ASSERT_TRUE(ut::WriteRecord(log, ut::Lines({Rc(probe), Fc(probe), Fc(log)})));
  ::SetErrorMode(0);
  ::SetEnvironmentVariableA("TS_LOAD_ERROR_MODES", nullptr);
  ut::TestWorker worker;
  ut::Recorder recorder;
  ASSERT_TRUE(ut::RunReplay(worker, recorder, log));
  char seen[64] = {};
  ::GetEnvironmentVariableA("TS_LOAD_ERROR_MODES", seen, sizeof seen);
  EXPECT_STREQ(seen, "32769,0") << "the worker's own error mode, then the process's, while the control loaded";
  EXPECT_EQ(ProcessErrorMode(), 0u) << "the process's error mode afterwards";
  EXPECT_FALSE(ut::Exists(probe));
}

TEST(UninstallReplay, AStopRaisedDuringTheFileStageEndsTheReplayThere) {
  const std::string dir = ut::FreshFolder("stop");
  std::vector<std::string> lines, files;
  for (int i = 0; i < 5; ++i) {
    files.push_back(dir + "\\f" + std::to_string(i) + ".txt");
    ut::WriteBytes(files.back(), "x");
    lines.push_back(Fc(files.back()));
  }
  ut::MakeFolders(dir + "\\empty");
  ut::MakeKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TsUninstallStop");
  lines.push_back(Md(dir + "\\empty"));
  lines.push_back(Rk("2,SOFTWARE\\TsUninstallStop"));
  const std::string log = dir + "\\Uninstall.log";
  lines.push_back(Fc(log));
  ASSERT_TRUE(ut::WriteRecord(log, ut::Lines(lines)));

  ut::TestWorker worker;
  ut::Recorder recorder;
  // The dialog's Cancel raises the flag on the user-interface thread.
  recorder.onFile = [&](const std::string& p) {
    if (p == files[1]) worker.RequestStop();
  };
  ASSERT_TRUE(ut::RunReplay(worker, recorder, log));
  EXPECT_EQ(recorder.events, (Events{"file " + files[0], "file " + files[1], "files done"}))
      << "no file after the stop, no finish message";
  EXPECT_FALSE(ut::Exists(files[1]));
  EXPECT_TRUE(ut::Exists(files[2]) && ut::Exists(files[4])) << "files after the stop stay";
  EXPECT_TRUE(ut::Exists(log)) << "the record stays for another run";
  EXPECT_TRUE(ut::IsFolder(dir + "\\empty")) << "folder stage skipped";
  EXPECT_TRUE(ut::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TsUninstallStop")) << "key stage skipped";
  EXPECT_EQ(worker.batches, 0) << "a stopped replay keeps the uninstaller";

  ut::TestWorker early;
  ut::Recorder quiet;
  early.RequestStop();
  ASSERT_TRUE(ut::RunReplay(early, quiet, log));
  EXPECT_EQ(quiet.events, (Events{"files done"})) << "stopped before it started";
  EXPECT_TRUE(ut::Exists(files[2]));
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TsUninstallStop");
}

}  // namespace
