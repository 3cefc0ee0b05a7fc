#pragma once
// Files, folders and registry keys for the uninstaller's tests: made for
// real under Wine, and looked at afterwards.
#include <windows.h>

#include <string>
#include <vector>

namespace ut {

bool WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or "<unreadable>".
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
// Makes the folder and its parents.
void MakeFolders(const std::string& path);
// Deletes a folder with everything in it (read-only files too).
void RemoveTree(const std::string& path);
// A record's lines joined with the given line end, the last one included.
std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n");
// Writes a record file hidden, as Setup leaves it.
bool WriteRecord(const std::string& path, const std::string& bytes);

// The self-removal batch's places: the Windows folder's Temp, the process's
// temporary folder (both without a trailing backslash), and the "DelUS-"
// folders of batches found in them now.
std::string WindowsTemp();
std::string TempFolder();
std::vector<std::string> BatchFolders();

bool KeyExists(HKEY root, const std::string& path);
void MakeKey(HKEY root, const std::string& path);
void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value);
// Deletes a key with all its subkeys, if it is there.
void DeleteTree(HKEY root, const std::string& path);

}  // namespace ut
