// The product-key lookup and the discovery of installed AutoCAD releases.
#include "acad/AcadRegistry.h"
#include "acad/AcadText.h"
#include "framework/CodePage.h"

namespace {

const char kCurVer[] = "CurVer";

// "CurVer" of the release key under one root. An empty value names no
// product key and so counts as not read: it would give a path with an
// empty segment, which the registry folds into a different key.
bool ReadCurVer(bool machine, AcadRelease release, std::size_t machineReadBuffer, std::string& productKey) {
  const std::string path = AcadReleaseKeyPath(release);
  const BOOL read = machine ? ReadRegStringLM(path, kCurVer, productKey, machineReadBuffer)
                            : ReadRegStringCU(path, kCurVer, productKey);
  if (read && !productKey.empty()) return true;
  productKey.clear();
  return false;
}

BOOL UseFixedKey(const AcadReleaseRow& row, std::string& productKey) {
  productKey = row.fixedProductKey;
  return productKey.empty() ? FALSE : TRUE;
}

}  // namespace

BOOL LookUpProductKey(AcadRelease release, ProductKeyLookup lookup, std::size_t machineReadBuffer,
                      std::string& productKey) {
  productKey.clear();
  const AcadReleaseRow* row = FindAcadReleaseRow(release);
  if (!row) return FALSE;
  switch (lookup) {
    case ProductKeyLookup::MachineFirst:
      return ReadCurVer(true, release, machineReadBuffer, productKey) ||
             ReadCurVer(false, release, machineReadBuffer, productKey);
    case ProductKeyLookup::UserFirst:
      if (ReadCurVer(false, release, machineReadBuffer, productKey) ||
          ReadCurVer(true, release, machineReadBuffer, productKey))
        return TRUE;
      return UseFixedKey(*row, productKey);
    case ProductKeyLookup::UserOnly:
      if (ReadCurVer(false, release, machineReadBuffer, productKey)) return TRUE;
      return UseFixedKey(*row, productKey);
    case ProductKeyLookup::MachineOnly:
      return ReadCurVer(true, release, machineReadBuffer, productKey) ? TRUE : FALSE;
    case ProductKeyLookup::None:
      break;
  }
  return FALSE;
}

BOOL FindAcadFolder(AcadRelease release, std::string& folder, std::size_t machineReadBuffer) {
  folder.clear();
  const AcadReleaseRow* row = FindAcadReleaseRow(release);
  if (!row) return FALSE;
  std::string productKey;
  if (!LookUpProductKey(release, row->discoveryLookup, machineReadBuffer, productKey)) return FALSE;

  // Only the folder's text counts, not the read routine's result.
  const std::string path = AcadProductKeyPath(release, productKey);
  ReadRegStringLM(path, "AcadLocation", folder, machineReadBuffer);
  if (folder.empty() && row->alsoReadsLocation) ReadRegStringLM(path, "Location", folder, machineReadBuffer);
  if (folder.empty()) return FALSE;

  // Tested by character: a folder whose last double-byte character has the
  // trail byte 0x5C does not end in a backslash, and callers append file
  // names directly.
  folder = cp936::WithTrailingBackslash(folder);
  return TRUE;
}
