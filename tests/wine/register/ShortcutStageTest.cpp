// The shortcut stage on the real shell link object: which "Shell Folders"
// pair is taken, the links as the shell reads them back, the record's
// entries in their order, replacement of older links, link paths too long
// for the conversion, and the group folder's prompt.
#include <gtest/gtest.h>

#include "install/SetupThread.h"
#include "tests/wine/install/InstallHarness.h"
#include "tests/wine/register/RegisterHarness.h"

namespace {

using namespace registertest;
using installtest::Exists;
using installtest::IsFolder;
using Names = std::vector<std::string>;

// The folders of one test: its install folder and shell folders of its own.
struct Place {
  explicit Place(const std::string& name)
      : root("C:\\sc\\" + name + "\\"),
        install(root + "安装 目录\\"),
        desktop(root + "Desktop"),
        programs(root + "Start Menu\\Programs"),
        group(programs + "\\" + kGroupName) {
    for (const char* file : {"Terrasum.exe", "Kelvarin.url", "Uninstall.exe", "TerrasumV8.0.ICO"})
      installtest::Put(install + file, file);
    installtest::MakeFolders(desktop);
  }
  std::string root, install, desktop, programs, group;
};

class ShortcutStage : public regtest::CleanRegistryTest {
 protected:
  static bool Run(CSetupThread& worker, const Place& place) {
    worker.m_installFolder = place.install;
    return worker.CreateShortcuts();
  }
  ShellFoldersScope shellFolders_;
};

// The record of a run without AutoCAD, for links made in desktop and group.
std::string PlainRecord(const std::string& desktop, const std::string& group) {
  return "Made Dir: " + group + "\n" +                                  //
         "File Copy: " + desktop + "\\Terrasum V8.0.LNK\n" +             //
         "File Copy: " + group + "\\Terrasum V8.0.LNK\n" +               //
         "File Copy: " + group + "\\官方网站.LNK\n" +                     //
         "File Copy: " + group + "\\Terrasum V8.0 卸载程序.LNK\n" +        //
         "File Copy: " + group + "\n";
}

void ExpectLink(const std::string& linkPath, const std::string& target, const std::string& workingFolder,
                const std::string& arguments = "", const std::string& icon = "") {
  const Link link = ReadLink(linkPath);
  ASSERT_TRUE(link.loaded) << "link file " << linkPath;
  EXPECT_EQ(lstrcmpiA(link.path.c_str(), target.c_str()), 0) << linkPath << ": target " << link.path;
  EXPECT_EQ(link.arguments, arguments) << linkPath;
  EXPECT_EQ(link.workingFolder, workingFolder) << linkPath << ": working folder, with its backslash";
  EXPECT_EQ(link.iconPath, icon) << linkPath;
  EXPECT_EQ(link.iconIndex, 0) << linkPath;
}

TEST_F(ShortcutStage, PerUserFoldersArePreferredAndEveryLinkReadsBack) {
  const Place user("user"), common("common"), nt("nt");
  ShellFoldersScope::SeedUser(kShellFoldersW, user.desktop, user.programs);
  ShellFoldersScope::SeedUser(kShellFoldersN, nt.desktop, nt.programs);
  ShellFoldersScope::SeedCommon(kShellFoldersW, common.desktop, common.programs);
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, user));

  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(user.desktop, user.group)));
  EXPECT_TRUE(IsFolder(user.group)) << "group folder made";
  ExpectLink(user.desktop + "\\Terrasum V8.0.LNK", user.install + "Terrasum.exe", user.install);
  ExpectLink(user.group + "\\Terrasum V8.0.LNK", user.install + "Terrasum.exe", user.install);
  ExpectLink(user.group + "\\官方网站.LNK", user.install + "Kelvarin.url", user.install);
  ExpectLink(user.group + "\\Terrasum V8.0 卸载程序.LNK", user.install + "Uninstall.exe", user.install);
  for (const Place* other : {&common, &nt}) {
    EXPECT_FALSE(Exists(other->desktop + "\\Terrasum V8.0.LNK")) << other->desktop;
    EXPECT_FALSE(Exists(other->group)) << other->group;
  }
  EXPECT_EQ(Enumerate(user.install, "*.LNK"), Names{}) << "no AutoCAD, no launch shortcut";
}

TEST_F(ShortcutStage, LaunchShortcutsForTheReleasesFound) {
  const Place place("acad");
  ShellFoldersScope::SeedUser(kShellFoldersW, place.desktop, place.programs);
  SeedRelease(R16_0, "C:\\AutoCAD 2004\\");
  SeedRelease(R17_1, "D:\\ACAD2008");
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, place));

  const std::string launch2004 = place.install + "Terrasumfor2004.LNK";
  const std::string launch2008 = place.install + "Terrasumfor2008.LNK";
  std::vector<std::string> expected = Lines(PlainRecord(place.desktop, place.group));
  expected.insert(expected.begin() + 3, {"File Copy: " + launch2004, "File Copy: " + launch2008});
  EXPECT_EQ(Lines(worker.RecordText()), expected) << "launch shortcuts between the group's first and the web link";
  const std::string icon = place.install + "TerrasumV8.0.ICO";
  ExpectLink(launch2004, "C:\\AutoCAD 2004\\acad.exe", place.install, kLaunchArguments, icon);
  ExpectLink(launch2008, "D:\\ACAD2008\\acad.exe", place.install, kLaunchArguments, icon);
  EXPECT_EQ(Enumerate(place.install, "*.LNK").size(), 2u) << "one per release found";
}

TEST_F(ShortcutStage, AllUsersFoldersWhenThePerUserOnesAreMissing) {
  const Place common("allusers");
  ShellFoldersScope::SeedCommon(kShellFoldersW, common.desktop, common.programs);
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, common));
  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(common.desktop, common.group)));
  ExpectLink(common.desktop + "\\Terrasum V8.0.LNK", common.install + "Terrasum.exe", common.install);
}

TEST_F(ShortcutStage, APairCountsOnlyWhenBothValuesAreThere) {
  const Place half("half"), nt("ntuser"), machine("machine");
  ShellFoldersScope::SeedUser(kShellFoldersW, half.desktop, "");  // no "Programs"
  ShellFoldersScope::SeedUser(kShellFoldersN, nt.desktop, nt.programs);
  ShellFoldersScope::SeedCommon(kShellFoldersW, machine.desktop, machine.programs);
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, nt));
  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(nt.desktop, nt.group))) << "the per-user N pair";
  EXPECT_FALSE(Exists(half.desktop + "\\Terrasum V8.0.LNK"));
}

TEST_F(ShortcutStage, TheMachinesNtPairIsTheLastResort) {
  const Place machine("machinent");
  ShellFoldersScope::SeedCommon(kShellFoldersW, "", machine.programs);  // no "Common Desktop"
  ShellFoldersScope::SeedCommon(kShellFoldersN, machine.desktop, machine.programs);
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, machine));
  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(machine.desktop, machine.group)));
}

TEST_F(ShortcutStage, FolderValuesAreTrimmedAndGetOneBackslash) {
  const Place place("trim");
  ShellFoldersScope::SeedUser(kShellFoldersW, " \t" + place.desktop + "  ", "  " + place.programs + "\\ ");
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, place));
  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(place.desktop, place.group)))
      << "no blanks, exactly one separator";
}

// A blank value names no folder: taken as it stands it would put the links
// in whatever folder is current.
TEST_F(ShortcutStage, ABlankValueNamesNoFolder) {
  const Place common("blank");
  ShellFoldersScope::SeedUser(kShellFoldersW, "   ", common.programs);
  ShellFoldersScope::SeedCommon(kShellFoldersW, common.desktop, common.programs);
  ASSERT_TRUE(::SetCurrentDirectoryA(common.root.c_str()));
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, common));
  ::SetCurrentDirectoryA("C:\\");
  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(common.desktop, common.group)));
  EXPECT_FALSE(Exists(common.root + "Terrasum V8.0.LNK")) << "no link in the current folder";
}

// A user's folder with a character code page 936 cannot hold: that pair is
// passed over (the machine's is taken), nothing is made or recorded in it.
TEST_F(ShortcutStage, AUserFolderOutsideCodePage936IsPassedOver) {
  const Place common("hangul");
  const std::wstring korean = L"C:\\sc\\\xD55C\xAD6D";  // "C:\sc\<two Hangul syllables>"
  ASSERT_TRUE(::CreateDirectoryW(korean.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW((korean + L"\\Desktop").c_str(), nullptr));
  HKEY raw = nullptr;
  ASSERT_EQ(::RegCreateKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            &raw),
            ERROR_SUCCESS);
  for (const wchar_t* value : {L"Desktop", L"Programs"}) {
    const std::wstring folder = korean + L"\\" + value;
    ::RegSetValueExW(raw, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  }
  ::RegCloseKey(raw);
  ShellFoldersScope::SeedCommon(kShellFoldersW, common.desktop, common.programs);
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, common));
  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(common.desktop, common.group)));
  EXPECT_EQ(worker.RecordText().find('?'), std::string::npos);
  WIN32_FIND_DATAW data{};
  const HANDLE found = ::FindFirstFileW((korean + L"\\Desktop\\*.LNK").c_str(), &data);
  EXPECT_EQ(found, INVALID_HANDLE_VALUE) << "no link in the user's folder under any name";
  if (found != INVALID_HANDLE_VALUE) ::FindClose(found);
}

TEST_F(ShortcutStage, NothingAtAllWithoutShellFolders) {
  const Place place("none");
  SeedRelease(R16_0, "C:\\AutoCAD 2004\\");
  CSetupThread worker;
  EXPECT_FALSE(Run(worker, place));
  EXPECT_EQ(worker.RecordText(), "") << "no folder, no shortcut, no entry";
  EXPECT_EQ(Enumerate(place.install, "*.LNK"), Names{}) << "not even the launch shortcuts";
}

TEST_F(ShortcutStage, AnEarlierLinkOfTheSameNameIsReplaced) {
  const Place place("again");
  ShellFoldersScope::SeedUser(kShellFoldersW, place.desktop, place.programs);
  installtest::Put(place.desktop + "\\Terrasum V8.0.LNK", "not a link at all");
  CSetupThread old;
  installtest::MakeFolders(place.group);
  ASSERT_TRUE(old.CreateShortcut("C:\\", place.group + "\\Terrasum V8.0.LNK", "C:\\old\\old.exe", "-old",
                                 "C:\\old\\old.ico"));
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, place));
  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(place.desktop, place.group))) << "each link once";
  ExpectLink(place.desktop + "\\Terrasum V8.0.LNK", place.install + "Terrasum.exe", place.install);
  ExpectLink(place.group + "\\Terrasum V8.0.LNK", place.install + "Terrasum.exe", place.install);
  EXPECT_EQ(Enumerate(place.desktop + "\\", "*").size(), 1u) << "nothing kept beside the new link";
}

// The link path goes through a buffer of 260 wide characters: 259 of them
// and the terminator. A longer path is not saved, neither cut nor garbled.
TEST_F(ShortcutStage, ALinkPathTooLongForTheConversionIsNotSaved) {
  const Place place("long");
  const std::string tail = "\\Terrasum V8.0.LNK";  // 18 characters
  const std::string desktop = place.root + std::string(265 - tail.size() - place.root.size(), 'd');
  ASSERT_TRUE(MakeFoldersWide(Wide(desktop)));
  const std::string link = desktop + tail;
  ASSERT_EQ(link.size(), 265u);
  ShellFoldersScope::SeedUser(kShellFoldersW, desktop, place.programs);
  CSetupThread worker;
  EXPECT_TRUE(Run(worker, place));

  std::vector<std::string> expected = Lines(PlainRecord(desktop, place.group));
  expected.erase(expected.begin() + 1);
  EXPECT_EQ(Lines(worker.RecordText()), expected) << "the desktop link alone is missing";
  EXPECT_EQ(::GetFileAttributesW(Wide(link).c_str()), INVALID_FILE_ATTRIBUTES) << "not saved";
  EXPECT_EQ(::GetFileAttributesW(Wide(link.substr(0, 260)).c_str()), INVALID_FILE_ATTRIBUTES)
      << "not saved under the cut path either";
  EXPECT_EQ(::GetFileAttributesW(Wide(link.substr(0, 259)).c_str()), INVALID_FILE_ATTRIBUTES);
  ExpectLink(place.group + "\\Terrasum V8.0.LNK", place.install + "Terrasum.exe", place.install);
}

TEST_F(ShortcutStage, TheLimitIsInCharactersNotBytes) {
  const std::string folder = "C:\\sc\\limit\\";
  ASSERT_TRUE(MakeFoldersWide(Wide(folder.substr(0, folder.size() - 1))));
  CSetupThread worker;
  const std::string fits = folder + std::string(259 - folder.size() - 4, 'a') + ".LNK";
  ASSERT_EQ(fits.size(), 259u);
  EXPECT_TRUE(worker.CreateShortcut(folder, fits, "C:\\a.exe", nullptr, nullptr)) << "259 characters fit";
  EXPECT_TRUE(ReadLink(fits).loaded);
  const std::string over = folder + std::string(260 - folder.size() - 4, 'b') + ".LNK";
  EXPECT_FALSE(worker.CreateShortcut(folder, over, "C:\\a.exe", nullptr, nullptr)) << "260 do not";
  EXPECT_EQ(::GetFileAttributesW(Wide(over).c_str()), INVALID_FILE_ATTRIBUTES);

  // Double-byte names: more than 259 bytes, far fewer wide characters.
  std::string deep = folder + "中文";
  for (int i = 0; i < 8; ++i) deep += "\\长长长长长长长长长长长长长长长长";
  ASSERT_TRUE(MakeFoldersWide(Wide(deep)));
  const std::string chinese = deep + "\\快捷方式.LNK";
  ASSERT_GT(chinese.size(), 259u) << "bytes";
  ASSERT_LT(Wide(chinese).size(), 260u) << "characters";
  EXPECT_TRUE(worker.CreateShortcut(folder, chinese, "C:\\a.exe", "-x", nullptr));
  const Link link = ReadLink(chinese);
  EXPECT_TRUE(link.loaded) << "saved under its whole name";
  EXPECT_EQ(link.arguments, "-x");
}

TEST_F(ShortcutStage, CancelInTheGroupFolderPromptEndsTheStage) {
  const Place place("cancel");
  ShellFoldersScope::SeedUser(kShellFoldersW, place.desktop, place.programs);
  SeedRelease(R16_0, "C:\\AutoCAD 2004\\");
  installtest::Put(place.group, "a file where the group folder belongs");
  installtest::TestPage page;
  installtest::PromptDriver driver(installtest::Steps{{IDCANCEL}});
  CSetupThread worker;
  worker.m_pMainWnd = &page;
  EXPECT_FALSE(Run(worker, place));
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 1u) << "one folder prompt";
  EXPECT_EQ(driver.boxes[0].text, installtest::FolderPrompt(ERROR_ALREADY_EXISTS, place.group));
  EXPECT_EQ(driver.boxes[0].owner, page.GetSafeHwnd()) << "owned by the page";
  EXPECT_TRUE(driver.extra.empty());
  EXPECT_EQ(worker.RecordText(), "Made Dir: " + place.group + "\n") << "no shortcut after Cancel";
  EXPECT_FALSE(Exists(place.desktop + "\\Terrasum V8.0.LNK")) << "not even the desktop link";
  EXPECT_EQ(Enumerate(place.install, "*.LNK"), Names{}) << "no launch shortcut";
}

TEST_F(ShortcutStage, RetryInTheGroupFolderPromptGoesOn) {
  const Place place("retry");
  ShellFoldersScope::SeedUser(kShellFoldersW, place.desktop, place.programs);
  installtest::Put(place.group, "in the way until the prompt");
  installtest::TestPage page;
  installtest::PromptDriver driver(installtest::Steps{{IDRETRY, [&] { ::DeleteFileA(place.group.c_str()); }}});
  CSetupThread worker;
  worker.m_pMainWnd = &page;
  EXPECT_TRUE(Run(worker, place));
  driver.Stop();
  EXPECT_EQ(driver.boxes.size(), 1u);
  EXPECT_EQ(Lines(worker.RecordText()), Lines(PlainRecord(place.desktop, place.group)));
}

}  // namespace
