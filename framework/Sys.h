#pragma once
// The system functions the programs call with text, taking and giving code
// page 936 text as the 8-bit functions of the same names do, and calling the
// wide functions underneath (framework/WideText.h converts). A call site
// reads as it would with the 8-bit function: sys::CopyFile(from, to, FALSE).
// Texts the system hands back that code page 936 cannot hold come back with
// '?' in place of the character, which no path may contain.
//
// The names are the system's own, which <windows.h> makes macros for their
// 8-bit forms: sys::CopyFile is declared, defined and called as
// sys::CopyFileA alike. That is only a name; what it calls is CopyFileW.
#include <windows.h>

#ifdef UNICODE
#error "The programs keep their texts in code page 936; build them without UNICODE."
#endif
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

namespace sys {

// ---- Files and folders ----
DWORD GetFileAttributes(const char* path);
BOOL SetFileAttributes(const char* path, DWORD attributes);
BOOL CopyFile(const char* from, const char* to, BOOL failIfExists);
BOOL DeleteFile(const char* path);
// to may be null (with MOVEFILE_DELAY_UNTIL_REBOOT: delete at the restart).
BOOL MoveFileEx(const char* from, const char* to, DWORD flags);
// A fresh file made empty in folder (GetTempFileName with a unique number of
// 0); empty when none could be made.
std::string GetTempFileName(const char* folder, const char* prefix);
// The full form of path as the system makes it (current folders applied,
// "." and ".." resolved, slashes as backslashes); empty when it cannot.
std::string GetFullPathName(const char* path);
BOOL CreateDirectory(const char* path, SECURITY_ATTRIBUTES* security);
BOOL RemoveDirectory(const char* path);
HANDLE CreateFile(const char* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                  DWORD flagsAndAttributes, HANDLE templateFile);
bool FileExists(const char* path);
// The size of a file in bytes; false when its attributes cannot be read.
bool FileSize(const char* path, ULONGLONG& size);
// The process's current folder, or empty when it cannot be read whole.
std::string CurrentDirectory();
BOOL SetCurrentDirectory(const char* path);
// The Windows folder, the system folder (where cmd.exe lies) and the
// process's temporary folder, without a trailing backslash; empty when the
// system gives none.
std::string GetWindowsDirectory();
std::string GetSystemDirectory();
std::string GetTempPath();

// ---- Modules and processes ----
HMODULE LoadLibrary(const char* path);
HMODULE LoadLibraryEx(const char* path, HANDLE reserved, DWORD flags);
// Opens a program file for replacing its resources (UpdateResourceW and
// EndUpdateResourceW take no text and are called directly).
HANDLE BeginUpdateResource(const char* path, BOOL deleteExisting);
// The process's command line as the system keeps it.
std::string GetCommandLine();
HMODULE GetModuleHandle(const char* name);
BOOL CreateProcess(const char* application, char* commandLine, SECURITY_ATTRIBUTES* processSecurity,
                   SECURITY_ATTRIBUTES* threadSecurity, BOOL inheritHandles, DWORD flags, void* environment,
                   const char* currentDirectory, const STARTUPINFOA* startup, PROCESS_INFORMATION* info);
// The process's command line (GetCommandLineW) in code page 936: a
// character code page 936 cannot hold comes as '?', which no path may hold,
// so a folder named with one is refused rather than taken for another.
std::string CommandLine();
// The process's environment with the given variables set (names and values
// in code page 936), as a block for CreateProcess with
// CREATE_UNICODE_ENVIRONMENT.
std::wstring EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& variables);

// ---- Registry (values of the string types converted, others as stored) ----
LONG RegCreateKey(HKEY root, const char* subKey, HKEY* key);
LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key);
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteKey(HKEY root, const char* subKey);
// The name of the index-th subkey, as RegEnumKeyEx finds it.
LONG RegEnumKey(HKEY key, DWORD index, std::string& name);

// ---- Windows, resources, painting ----
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
// A string resource, or empty when there is none.
std::string LoadString(HINSTANCE instance, UINT id);
std::string GetWindowText(HWND wnd);
BOOL SetWindowText(HWND wnd, const char* text);
BOOL SetDlgItemText(HWND dialog, int id, const char* text);
// Sends a message whose lParam is a text (of the message's wide form).
LRESULT SendTextMessage(HWND wnd, UINT wideMessage, WPARAM wp, const char* text);
// WM_SETTEXT and WM_GETTEXT as a window of the programs receives them: in
// their wide form. The first gives the text that lParam carries; the second
// copies text into the caller's buffer of size characters (whole characters
// and the terminating zero) and returns the characters copied.
std::string TextOfSetText(LPARAM lp);
LRESULT AnswerGetText(const std::string& text, WPARAM size, LPARAM buffer);
int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format);
// The system's GUI font as a Chinese Windows has it: the stock
// DEFAULT_GUI_FONT where that already is a 9-point GB2312 font, else one
// made once from it with that character set and size. The stock font of a
// Windows of another language is smaller and matches other fonts, so Chinese
// captions drawn in it would sit and look otherwise. Never to be deleted.
HFONT ChineseGuiFont();

// ---- Shell ----
HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show);
// The browse dialog of a BROWSEINFOA; its callback sees the wide dialog, so
// texts go to it through SendTextMessage with the wide messages.
LPITEMIDLIST SHBrowseForFolder(BROWSEINFOA* info);
// FALSE when the item is no file-system folder, or when its path does not
// fit MAX_PATH bytes or has a character code page 936 cannot hold.
BOOL SHGetPathFromIDList(LPCITEMIDLIST item, char path[MAX_PATH]);
HRESULT OleLoadPicturePath(const char* path, REFIID iid, void** picture);

}  // namespace sys
