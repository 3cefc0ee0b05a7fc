#pragma once
// Plain platform loops over a distribution tree: the baselines the engine
// and the uninstaller are measured against.
#include <string>
#include <vector>

namespace bench {

// Copies the five distribution folders recursively and the top-level files
// (all but setup.exe) with FindFirstFileA / CopyFileA. Returns files copied.
int PlainCopy(const std::string& source, const std::string& target);
// Deletes a tree with DeleteFileA / RemoveDirectoryA. Returns entries removed.
int PlainDelete(const std::string& folder);
// The copy page's pre-count: the files of the five folders at any depth and
// the files directly in the source folder (setup.exe among them).
int CountFiles(const std::string& source);
// Seconds since an arbitrary start, high resolution.
double Now();
// The median (the upper one of an even count); 0 for none.
double Median(std::vector<double> values);

}  // namespace bench
