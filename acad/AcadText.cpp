#include "acad/AcadText.h"

#include <cstring>

const char kChineseDefaultProfile[] = "<<未命名配置>>";
const char kEnglishDefaultProfile[] = "<<Unnamed Profile>>";
const char kGeneralKey[] = "General";
const char kGeneralConfigurationKey[] = "General Configuration";

namespace {

const char kMachineStyleRoot[] = "SOFTWARE\\Autodesk\\AutoCAD\\";
const char kUserStyleRoot[] = "Software\\Autodesk\\AutoCAD\\";

std::string ProfilePath(const char* root, AcadRelease release, const std::string& productKey,
                        const std::string& profile) {
  return root + std::string(AcadReleaseKey(release)) + "\\" + productKey + "\\Profiles\\" + profile;
}

// The product's own folders at the head of every search path.
std::string ProductFolders(const std::string& installFolder, const char* releaseGroup) {
  return installFolder + "Support\\" + releaseGroup + "\\arx;" + installFolder + "Support\\" + releaseGroup +
         "\\Menu;";
}

}  // namespace

std::string AcadReleaseKeyPath(AcadRelease release) { return kMachineStyleRoot + std::string(AcadReleaseKey(release)); }

std::string AcadProductKeyPath(AcadRelease release, const std::string& productKey) {
  return AcadReleaseKeyPath(release) + "\\" + productKey;
}

std::string AcadProfileKeyPath(AcadRelease release, const std::string& productKey, const std::string& profile) {
  return ProfilePath(kUserStyleRoot, release, productKey, profile);
}

std::string AcadProfileSubkeyPath(AcadRelease release, const std::string& productKey, const std::string& profile,
                                  const char* subkey) {
  return AcadProfileKeyPath(release, productKey, profile) + "\\" + subkey;
}

std::string AcadRemovalKeyPath(AcadRelease release, const std::string& productKey, const std::string& profile) {
  return ProfilePath(kMachineStyleRoot, release, productKey, profile);
}

std::string AcadSearchPath(ProfileFamily family, const std::string& installFolder, const std::string& acadFolder,
                           const std::string& defaultSearchPath) {
  switch (family) {
    case ProfileFamily::A:
      return ProductFolders(installFolder, "2000-02") + acadFolder + "support;" + acadFolder + "fonts;" +
             acadFolder + "help;" + acadFolder + "express;";
    case ProfileFamily::B:
      return ProductFolders(installFolder, "2004-06") + defaultSearchPath + ";";
    case ProfileFamily::C:
      return ProductFolders(installFolder, "2007-09") + defaultSearchPath + ";";
  }
  return std::string();
}

std::string AcadMenuFile(const std::string& installFolder) { return installFolder + "Support\\2007-09\\Menu\\SoilTuF"; }

bool RegValueText(const char* buffer, std::size_t returnedSize, std::size_t bufferSize, std::string& text) {
  text.clear();
  if (!buffer || bufferSize == 0) return false;
  const std::size_t filled = returnedSize < bufferSize ? returnedSize : bufferSize;
  const void* zero = std::memchr(buffer, 0, filled);
  if (!zero && filled == bufferSize) return false;
  const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - buffer) : filled;
  text.assign(buffer, length);
  return true;
}

bool FitsRegBuffer(const std::string& data, std::size_t bufferSize) {
  return bufferSize > 0 && data.size() < bufferSize;
}
