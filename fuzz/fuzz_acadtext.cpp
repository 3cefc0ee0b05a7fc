// The AutoCAD routines' texts on arbitrary inputs: a registry value's text
// never reaches past the bytes returned or the buffer and holds no zero; a
// value that fills the whole buffer without a zero is refused; the key paths
// and search paths are made of their parts, in order, for every release of
// the table and for values outside it.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "acad/AcadText.h"
#include "fuzz/FuzzInput.h"

namespace {

bool StartsWith(const std::string& s, const std::string& head) { return s.compare(0, head.size(), head) == 0; }
bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void CheckValueText(FuzzInput& in) {
  const std::size_t bufferSize = in.Range(0, 64);
  const std::size_t returned = in.Byte() & 1 ? in.Range(0, 80) : in.U32();
  std::vector<char> buffer(bufferSize);
  for (char& c : buffer) c = static_cast<char>(in.Byte() % 4 == 0 ? 0 : in.Byte());
  std::string text = "stale";
  const bool ok = RegValueText(bufferSize ? buffer.data() : nullptr, returned, bufferSize, text);
  const std::size_t filled = returned < bufferSize ? returned : bufferSize;
  const void* zero = bufferSize ? std::memchr(buffer.data(), 0, filled) : nullptr;
  FUZZ_CHECK(ok == (bufferSize > 0 && (zero != nullptr || filled < bufferSize)));
  if (!ok) {
    FUZZ_CHECK(text.empty());
    return;
  }
  FUZZ_CHECK(text.size() <= filled && text.find('\0') == std::string::npos);
  FUZZ_CHECK(std::memcmp(text.data(), buffer.data(), text.size()) == 0);
  FUZZ_CHECK(text.size() == filled || buffer[text.size()] == 0);
  // What was read back fits the same buffer again with its zero.
  FUZZ_CHECK(FitsRegBuffer(text, bufferSize) == (text.size() < bufferSize));
}

void CheckPaths(FuzzInput& in) {
  const auto release = static_cast<AcadRelease>(in.Range(-2, kAcadReleaseCount + 1));
  const std::string productKey = in.Text(300), profile = in.Text(300), install = in.Text(300),
                    acad = in.Text(300), defaults = in.Text(2000);
  const std::string key = AcadReleaseKey(release);
  FUZZ_CHECK(AcadReleaseKeyPath(release) == "SOFTWARE\\Autodesk\\AutoCAD\\" + key);
  FUZZ_CHECK(AcadProductKeyPath(release, productKey) == AcadReleaseKeyPath(release) + "\\" + productKey);
  const std::string profilePath = AcadProfileKeyPath(release, productKey, profile);
  FUZZ_CHECK(profilePath == "Software\\Autodesk\\AutoCAD\\" + key + "\\" + productKey + "\\Profiles\\" + profile);
  FUZZ_CHECK(AcadProfileSubkeyPath(release, productKey, profile, kGeneralKey) == profilePath + "\\General");
  FUZZ_CHECK(AcadRemovalKeyPath(release, productKey, profile) ==
             AcadProductKeyPath(release, productKey) + "\\Profiles\\" + profile);
  FUZZ_CHECK(AcadMenuFile(install) == install + "Support\\2007-09\\Menu\\SoilTuF");

  const ProfileFamily families[] = {ProfileFamily::A, ProfileFamily::B, ProfileFamily::C};
  const char* groups[] = {"2000-02", "2004-06", "2007-09"};
  for (int f = 0; f < 3; ++f) {
    const std::string path = AcadSearchPath(families[f], install, acad, defaults);
    const std::string head = install + "Support\\" + groups[f] + "\\arx;" + install + "Support\\" + groups[f] + "\\Menu;";
    FUZZ_CHECK(StartsWith(path, head));
    if (f == 0) FUZZ_CHECK(path == head + acad + "support;" + acad + "fonts;" + acad + "help;" + acad + "express;");
    else FUZZ_CHECK(path == head + defaults + ";" && EndsWith(path, ";"));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  CheckValueText(in);
  CheckPaths(in);
  return 0;
}
