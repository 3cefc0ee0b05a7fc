// Key paths, search paths and the bounded text of a registry value buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "acad/AcadText.h"

namespace {

TEST(AcadKeyPaths, DiscoveryPathsForEveryRow) {
  EXPECT_EQ(AcadReleaseKeyPath(R15_0), "SOFTWARE\\Autodesk\\AutoCAD\\R15.0");
  EXPECT_EQ(AcadReleaseKeyPath(R16_0), "SOFTWARE\\Autodesk\\AutoCAD\\R16.0");
  EXPECT_EQ(AcadReleaseKeyPath(R17_2), "SOFTWARE\\Autodesk\\AutoCAD\\R17.2");
  EXPECT_EQ(AcadProductKeyPath(R15_0, "ACAD-1:804"), "SOFTWARE\\Autodesk\\AutoCAD\\R15.0\\ACAD-1:804");
  EXPECT_EQ(AcadProductKeyPath(R16_1, "ACAD-301:409"), "SOFTWARE\\Autodesk\\AutoCAD\\R16.1\\ACAD-301:409");
  EXPECT_EQ(AcadProductKeyPath(R17_1, "ACAD-6001:804"), "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804");
}

TEST(AcadKeyPaths, ProfileCreationPathsUseSoftwareInMixedCase) {
  EXPECT_EQ(AcadProfileKeyPath(R15_0, "ACAD-1:804", "<<Terrasum V8>>"),
            "Software\\Autodesk\\AutoCAD\\R15.0\\ACAD-1:804\\Profiles\\<<Terrasum V8>>");
  EXPECT_EQ(AcadProfileSubkeyPath(R15_0, "ACAD-1:804", "<<Terrasum V8>>", kGeneralKey),
            "Software\\Autodesk\\AutoCAD\\R15.0\\ACAD-1:804\\Profiles\\<<Terrasum V8>>\\General");
  EXPECT_EQ(AcadProfileSubkeyPath(R16_0, "ACAD-201:804", kChineseDefaultProfile, kGeneralKey),
            "Software\\Autodesk\\AutoCAD\\R16.0\\ACAD-201:804\\Profiles\\<<未命名配置>>\\General");
  EXPECT_EQ(AcadProfileSubkeyPath(R16_2, "ACAD-4001:409", kEnglishDefaultProfile, kGeneralKey),
            "Software\\Autodesk\\AutoCAD\\R16.2\\ACAD-4001:409\\Profiles\\<<Unnamed Profile>>\\General");
  EXPECT_EQ(AcadProfileSubkeyPath(R17_0, "ACAD-5001:804", "<<Terrasum V8>>", kGeneralConfigurationKey),
            "Software\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804\\Profiles\\<<Terrasum V8>>\\General Configuration");
  EXPECT_EQ(AcadProfileKeyPath(R17_2, "ACAD-7001:804", "<<Terrasum V8>>"),
            "Software\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804\\Profiles\\<<Terrasum V8>>");
}

TEST(AcadKeyPaths, RemovalPathsUseSoftwareInCapitals) {
  EXPECT_EQ(AcadRemovalKeyPath(R15_0, "ACAD-1:804", "<<Gravo V6>>"),
            "SOFTWARE\\Autodesk\\AutoCAD\\R15.0\\ACAD-1:804\\Profiles\\<<Gravo V6>>");
  EXPECT_EQ(AcadRemovalKeyPath(R16_1, "", "<<Gravo V6>>"),
            "SOFTWARE\\Autodesk\\AutoCAD\\R16.1\\\\Profiles\\<<Gravo V6>>")
      << "an empty product key leaves an empty segment";
}

TEST(AcadSearchPaths, MenuFileHasNoExtension) {
  EXPECT_EQ(AcadMenuFile("D:\\土方\\"), "D:\\土方\\Support\\2007-09\\Menu\\SoilTuF");
}

// The value text in a buffer of exactly the given bytes on the heap, so a
// read past it is caught by the address sanitizer.
struct ValueText {
  bool ok;
  std::string text;
};
ValueText TextOf(const char* bytes, std::size_t returned, std::size_t bufferSize) {
  std::unique_ptr<char[]> buffer(new char[bufferSize]);
  std::memset(buffer.get(), 'Z', bufferSize);
  std::memcpy(buffer.get(), bytes, returned < bufferSize ? returned : bufferSize);
  ValueText v{false, "unset"};
  v.ok = RegValueText(buffer.get(), returned, bufferSize, v.text);
  return v;
}

TEST(AcadRegValueText, TextEndsAtTheFirstZeroOrTheBytesReturned) {
  ValueText v = TextOf("abc\0def", 8, 16);
  EXPECT_TRUE(v.ok);
  EXPECT_EQ(v.text, "abc") << "up to the first zero";

  v = TextOf("abcdefgh", 8, 16);
  EXPECT_TRUE(v.ok) << "a value without a zero that leaves room in the buffer";
  EXPECT_EQ(v.text, "abcdefgh") << "only the bytes returned, not the rest of the buffer";

  v = TextOf("abcdefg", 8, 8);
  EXPECT_TRUE(v.ok);
  EXPECT_EQ(v.text, "abcdefg") << "seven bytes and the zero fill an eight-byte buffer";

  v = TextOf("", 0, 8);
  EXPECT_TRUE(v.ok);
  EXPECT_EQ(v.text, "") << "an empty value";
}

TEST(AcadRegValueText, AFullBufferWithoutZeroIsTooLarge) {
  ValueText v = TextOf("abcdefgh", 8, 8);
  EXPECT_FALSE(v.ok) << "no room for the terminating zero";
  EXPECT_EQ(v.text, "");
  v = TextOf("abcdefgh", 20, 8);
  EXPECT_FALSE(v.ok) << "a returned size beyond the buffer is cut to the buffer";
  EXPECT_EQ(v.text, "");
  std::string text = "unset";
  EXPECT_FALSE(RegValueText("x", 1, 0, text)) << "no buffer at all";
  EXPECT_EQ(text, "");
}

TEST(AcadRegValueText, WriteLimitIsTheBufferLessItsZero) {
  EXPECT_TRUE(FitsRegBuffer(std::string(2047, 'x'), 2048));
  EXPECT_FALSE(FitsRegBuffer(std::string(2048, 'x'), 2048));
  EXPECT_TRUE(FitsRegBuffer("", 2048));
  EXPECT_FALSE(FitsRegBuffer("", 0));
}

}  // namespace
