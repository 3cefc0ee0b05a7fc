// The security descriptors the programs hand to the file system, checked as
// built: Wine keeps no file descriptors, and answers with one derived from
// the Unix permissions, so nothing can be read back from the files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Security.h"

namespace {

using security::Kind;

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// A well-known SID of this machine's kind.
struct WellKnown {
  explicit WellKnown(WELL_KNOWN_SID_TYPE type) {
    DWORD size = sizeof sid;
    ok = ::CreateWellKnownSid(type, nullptr, sid, &size) != FALSE;
  }
  BYTE sid[SECURITY_MAX_SID_SIZE];
  bool ok = false;
};

struct ExpectedAce {
  WELL_KNOWN_SID_TYPE who;
  ACCESS_MASK mask;
};

const ACCESS_MASK kReadExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
// Anything that changes, renames, replaces or re-permits a file or folder.
const ACCESS_MASK kAnyChange = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                               FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

struct Case {
  Kind kind;
  const char* sddl;
  bool inheritable;
  std::vector<ExpectedAce> aces;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {Kind::batchFolder, "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)", true,
       {{WinBuiltinAdministratorsSid, FILE_ALL_ACCESS}, {WinLocalSystemSid, FILE_ALL_ACCESS}}},
      {Kind::trustedFolder, "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", true,
       {{WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
        {WinLocalSystemSid, FILE_ALL_ACCESS},
        {WinBuiltinUsersSid, kReadExecute}}},
      {Kind::trustedFile, "O:BAD:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)", false,
       {{WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
        {WinLocalSystemSid, FILE_ALL_ACCESS},
        {WinBuiltinUsersSid, kReadExecute}}},
  };
  return cases;
}

TEST(Security, DescriptorsReadBackAsTheirSddl) {
  for (const Case& c : Cases()) {
    EXPECT_EQ(Narrow(security::SddlOf(c.kind)), c.sddl);
    const security::Descriptor descriptor(c.kind);
    ASSERT_TRUE(descriptor) << c.sddl;
    EXPECT_EQ(Narrow(descriptor.Sddl()), c.sddl) << "as the system writes it back";
  }
}

// The same, taken apart entry by entry against the system's well-known SIDs,
// so that a parser which reads the text otherwise would show.
TEST(Security, OnlyAdministratorsAndSystemMayChangeAndNothingIsInherited) {
  const WellKnown administrators(WinBuiltinAdministratorsSid);
  ASSERT_TRUE(administrators.ok);
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.sddl);
    const security::Descriptor descriptor(c.kind);
    ASSERT_TRUE(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor.get(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "control " << control;
    EXPECT_TRUE(control & SE_DACL_PRESENT);
    PSID owner = nullptr;
    BOOL defaulted = TRUE;
    ASSERT_TRUE(::GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted));
    ASSERT_NE(owner, nullptr);
    EXPECT_TRUE(::EqualSid(owner, const_cast<BYTE*>(administrators.sid))) << "owner";
    PACL dacl = nullptr;
    BOOL present = FALSE;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    ASSERT_EQ(dacl->AceCount, c.aces.size());
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      void* raw = nullptr;
      ASSERT_TRUE(::GetAce(dacl, i, &raw));
      const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
      EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << "entry " << i;
      EXPECT_EQ(ace->Header.AceFlags, c.inheritable ? (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) : 0)
          << "entry " << i;
      const WellKnown who(c.aces[i].who);
      ASSERT_TRUE(who.ok);
      EXPECT_TRUE(::EqualSid(const_cast<DWORD*>(&ace->SidStart), const_cast<BYTE*>(who.sid))) << "entry " << i;
      EXPECT_EQ(ace->Mask, c.aces[i].mask) << "entry " << i;
      if (c.aces[i].who == WinBuiltinUsersSid) EXPECT_EQ(ace->Mask & kAnyChange, 0u) << "Users may change it";
    }
  }
}

TEST(Security, AttributesCarryTheDescriptorAndNoInheritableHandle) {
  security::Attributes attributes = security::ProtectedFileAttributes();
  ASSERT_NE(attributes.get(), nullptr);
  EXPECT_EQ(attributes.get()->nLength, sizeof(SECURITY_ATTRIBUTES));
  EXPECT_FALSE(attributes.get()->bInheritHandle);
  EXPECT_EQ(attributes.get()->lpSecurityDescriptor, attributes.descriptor().get());
  EXPECT_EQ(Narrow(attributes.descriptor().Sddl()), "O:BAD:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)");
}

// Where the descriptors go: made with one, or given one when already there.
TEST(Security, TheFunctionsHandTheirDescriptorToTheFileSystem) {
  const std::string folder = "C:\\保护 测试";
  ::DeleteFileA((folder + "\\a.log").c_str());
  ::RemoveDirectoryA(folder.c_str());
  security::ApplyLog log;
  ASSERT_TRUE(security::CreateProtectedFolder(folder, Kind::trustedFolder));
  EXPECT_FALSE(security::CreateProtectedFolder(folder, Kind::trustedFolder)) << "made over an existing one";
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  bool created = false;
  EXPECT_TRUE(security::MakeProtectedFile(folder + "\\a.log", Kind::trustedFile, &created));
  EXPECT_TRUE(created);
  // An existing file is not opened, let alone emptied: it is given the
  // descriptor.
  HANDLE h = ::CreateFileA((folder + "\\a.log").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(h, "older", 5, &written, nullptr);
  ::CloseHandle(h);
  EXPECT_TRUE(security::MakeProtectedFile(folder + "\\a.log", Kind::trustedFile, &created));
  EXPECT_FALSE(created);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExA((folder + "\\a.log").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 5u) << "the existing file was emptied";

  const std::vector<security::ApplyLog::Entry>& entries = log.entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].path, folder);
  EXPECT_EQ(entries[0].kind, Kind::trustedFolder);
  EXPECT_TRUE(entries[0].created);
  EXPECT_EQ(entries[1].path, folder + "\\a.log");
  EXPECT_EQ(entries[1].kind, Kind::trustedFile);
  EXPECT_TRUE(entries[1].created);
  EXPECT_EQ(entries[2].path, folder + "\\a.log");
  EXPECT_FALSE(entries[2].created) << "given to the existing file";
  ::DeleteFileA((folder + "\\a.log").c_str());
  ::RemoveDirectoryA(folder.c_str());
}

TEST(Security, WinesDrivesReportPermissions) {
  EXPECT_TRUE(security::VolumeKeepsPermissions("C:\\windows\\temp"));
  EXPECT_FALSE(security::VolumeKeepsPermissions("Q:\\no such drive"));
}

}  // namespace
