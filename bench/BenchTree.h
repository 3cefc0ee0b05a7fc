#pragma once
// Plain platform loops over a distribution tree: the baselines the engine
// and the uninstaller are measured against.
#include <string>

namespace bench {

// Copies the five distribution folders recursively and the top-level files
// (all but setup.exe) with FindFirstFileA / CopyFileA. Returns files copied.
int PlainCopy(const std::string& source, const std::string& target);
// Deletes a tree with DeleteFileA / RemoveDirectoryA. Returns entries removed.
int PlainDelete(const std::string& folder);
// Files of the tree the install engine copies (the copy page's pre-count).
int CountFiles(const std::string& folder);
// Seconds since an arbitrary start, high resolution.
double Now();

}  // namespace bench
