#pragma once
// Seeding and inspecting the real registry for the AutoCAD tests, with the
// platform's own calls (never the routines under test). Tests of one program
// share a prefix, so every test starts and ends with AutoCAD's keys and the
// test's scratch keys deleted.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace regtest {

constexpr char kAutodesk[] = "SOFTWARE\\Autodesk";
constexpr char kScratch[] = "SOFTWARE\\TsAcadTest";

// REG_SZ of value and its terminating zero, creating the key.
void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
// Any type and exactly these bytes.
void SetRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes);
void CreateKey(HKEY root, const std::string& key);

bool KeyExists(HKEY root, const std::string& key);
// The value's bytes as stored (a string's terminating zero stripped), with
// its type; nullopt when the key or the value is absent.
struct Value {
  DWORD type = REG_NONE;
  std::string bytes;
};
std::optional<Value> ReadValue(HKEY root, const std::string& key, const std::string& name);
// The text of a REG_SZ value, or nullopt.
std::optional<std::string> ReadString(HKEY root, const std::string& key, const std::string& name);
std::vector<std::string> Subkeys(HKEY root, const std::string& key);
std::vector<std::string> ValueNames(HKEY root, const std::string& key);

// Deletes the key with everything below it; absent keys are fine.
void DeleteTree(HKEY root, const std::string& key);

// Base of every AutoCAD registry test: a registry without AutoCAD's keys and
// without the scratch keys, before and after each test.
class CleanRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean();
};

}  // namespace regtest
