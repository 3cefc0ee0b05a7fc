// The four registry string routines on the real registry: open-or-create,
// REG_SZ writes with their zero, reads bounded by the buffer of the program.
#include <gtest/gtest.h>

#include <string>

#include "acad/AcadRegistry.h"
#include "tests/wine/acad/RegTestUtil.h"

namespace {

using regtest::kScratch;

class RegString : public regtest::CleanRegistryTest {
 protected:
  const std::string key_ = std::string(kScratch) + "\\Strings";
};

TEST_F(RegString, ReadingAnAbsentKeyCreatesItEmptyAndGivesFalse) {
  std::string out = "left over";
  EXPECT_FALSE(ReadRegStringLM(key_ + "\\Machine", "CurVer", out));
  EXPECT_EQ(out, "") << "out is cleared";
  EXPECT_TRUE(regtest::KeyExists(HKEY_LOCAL_MACHINE, key_ + "\\Machine")) << "open-or-create also for reading";
  EXPECT_TRUE(regtest::ValueNames(HKEY_LOCAL_MACHINE, key_ + "\\Machine").empty());

  out = "left over";
  EXPECT_FALSE(ReadRegStringCU(key_ + "\\User", "CurVer", out));
  EXPECT_EQ(out, "");
  EXPECT_TRUE(regtest::KeyExists(HKEY_CURRENT_USER, key_ + "\\User"));
  EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, key_ + "\\User")) << "each routine has its own root";
}

TEST_F(RegString, WritesAreRegSzOfLengthPlusOneUnderTheirRoot) {
  EXPECT_TRUE(WriteRegStringCU(key_ + "\\New\\Deeper", "ACAD", "C:\\土方\\Support;"));
  std::optional<regtest::Value> v = regtest::ReadValue(HKEY_CURRENT_USER, key_ + "\\New\\Deeper", "ACAD");
  ASSERT_TRUE(v) << "missing keys are created on the way";
  EXPECT_EQ(v->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(v->bytes, "C:\\土方\\Support;") << "code page 936 text round trip";
  EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, key_ + "\\New")) << "the user's root only";

  EXPECT_TRUE(WriteRegStringLM(key_, "Ver", "V8.0"));
  EXPECT_EQ(regtest::ReadString(HKEY_LOCAL_MACHINE, key_, "Ver"), std::optional<std::string>("V8.0"));

  // An empty value name is the key's default value, in both directions.
  EXPECT_TRUE(WriteRegStringCU(key_, "", "<<Terrasum V8>>"));
  EXPECT_EQ(regtest::ReadString(HKEY_CURRENT_USER, key_, ""), std::optional<std::string>("<<Terrasum V8>>"));
  std::string out;
  EXPECT_TRUE(ReadRegStringCU(key_, "", out));
  EXPECT_EQ(out, "<<Terrasum V8>>");
  EXPECT_TRUE(WriteRegStringLM(key_, "", ""));
  EXPECT_TRUE(ReadRegStringLM(key_, "", out));
  EXPECT_EQ(out, "") << "an empty string is a value that is there";
}

TEST_F(RegString, ReadsTakeTextUpToTheFirstZeroWhateverTheType) {
  regtest::SetRaw(HKEY_CURRENT_USER, key_, "bin", REG_BINARY, std::string("ab\0cd", 5));
  regtest::SetRaw(HKEY_CURRENT_USER, key_, "unterminated", REG_BINARY, "abcdefgh");
  regtest::SetRaw(HKEY_LOCAL_MACHINE, key_, "expand", REG_EXPAND_SZ, std::string("%X%\\y\0", 7));
  std::string out;
  EXPECT_TRUE(ReadRegStringCU(key_, "bin", out));
  EXPECT_EQ(out, "ab");
  EXPECT_TRUE(ReadRegStringCU(key_, "unterminated", out));
  EXPECT_EQ(out, "abcdefgh") << "only the eight bytes returned, no terminator of its own";
  EXPECT_TRUE(ReadRegStringLM(key_, "expand", out));
  EXPECT_EQ(out, "%X%\\y") << "the type is not examined, nothing is expanded";
}

TEST_F(RegString, AValueMustFitTheBufferWithItsZero) {
  regtest::SetString(HKEY_CURRENT_USER, key_, "fits", std::string(2047, 'a'));
  regtest::SetString(HKEY_CURRENT_USER, key_, "long", std::string(2048, 'b'));
  regtest::SetRaw(HKEY_CURRENT_USER, key_, "fullbinary", REG_BINARY, std::string(2048, 'c'));
  std::string out;
  EXPECT_TRUE(ReadRegStringCU(key_, "fits", out));
  EXPECT_EQ(out.size(), 2047u) << "2047 bytes of text is the most a read gives";
  out = "left over";
  EXPECT_FALSE(ReadRegStringCU(key_, "long", out)) << "larger than the buffer counts as absent";
  EXPECT_EQ(out, "");
  out = "left over";
  EXPECT_FALSE(ReadRegStringCU(key_, "fullbinary", out)) << "fills the buffer with no room for a zero";
  EXPECT_EQ(out, "");
}

TEST_F(RegString, MachineReadsUseTheProgramsBuffer) {
  regtest::SetString(HKEY_LOCAL_MACHINE, key_, "1023", std::string(1023, 'x'));
  regtest::SetString(HKEY_LOCAL_MACHINE, key_, "1024", std::string(1024, 'y'));
  regtest::SetRaw(HKEY_LOCAL_MACHINE, key_, "bin1024", REG_BINARY, std::string(1024, 'z'));
  const std::size_t uninstall = kUninstallIdentity.machineReadBuffer;
  ASSERT_EQ(uninstall, 1024u);
  ASSERT_EQ(kSetupIdentity.machineReadBuffer, kRegBufferSize);
  std::string out;
  EXPECT_TRUE(ReadRegStringLM(key_, "1023", out, uninstall));
  EXPECT_EQ(out.size(), 1023u);
  EXPECT_FALSE(ReadRegStringLM(key_, "1024", out, uninstall)) << "Uninstall's machine reads stop at 1023 bytes";
  EXPECT_EQ(out, "");
  EXPECT_FALSE(ReadRegStringLM(key_, "bin1024", out, uninstall));
  EXPECT_TRUE(ReadRegStringLM(key_, "1024", out, kSetupIdentity.machineReadBuffer)) << "Setup's take it";
  EXPECT_EQ(out, std::string(1024, 'y'));
  EXPECT_TRUE(ReadRegStringLM(key_, "1024", out)) << "the default buffer is Setup's";
  EXPECT_FALSE(ReadRegStringLM(key_, "1023", out, 0)) << "no buffer, no text";
}

TEST_F(RegString, AWriteTooLongForTheBufferIsRefusedWhole) {
  EXPECT_TRUE(WriteRegStringCU(key_, "ACAD", "old;path;"));
  EXPECT_FALSE(WriteRegStringCU(key_, "ACAD", std::string(2048, 'p'))) << "2048 bytes and a zero do not fit";
  EXPECT_EQ(regtest::ReadString(HKEY_CURRENT_USER, key_, "ACAD"), std::optional<std::string>("old;path;"))
      << "the value is left as it was, never cut";
  EXPECT_FALSE(WriteRegStringLM(key_, "Fresh", std::string(5000, 'q')));
  EXPECT_FALSE(regtest::ReadValue(HKEY_LOCAL_MACHINE, key_, "Fresh")) << "nothing written";

  const std::string longest(2047, 'r');
  EXPECT_TRUE(WriteRegStringCU(key_, "ACAD", longest));
  EXPECT_EQ(regtest::ReadString(HKEY_CURRENT_USER, key_, "ACAD"), std::optional<std::string>(longest));
  std::string out;
  EXPECT_TRUE(ReadRegStringCU(key_, "ACAD", out)) << "what was written can be read back";
  EXPECT_EQ(out, longest);
}

TEST_F(RegString, AKeyThatCannotBeOpenedGivesFalse) {
  // A key name longer than the registry allows for one name.
  const std::string tooLong = key_ + "\\" + std::string(300, 'k');
  std::string out = "left over";
  EXPECT_FALSE(ReadRegStringCU(tooLong, "x", out));
  EXPECT_EQ(out, "");
  EXPECT_FALSE(WriteRegStringCU(tooLong, "x", "y"));
  EXPECT_FALSE(WriteRegStringLM(tooLong, "x", "y"));
}

}  // namespace
