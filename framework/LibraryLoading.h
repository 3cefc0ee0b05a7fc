#pragma once
// Where the programs let Windows look for the DLLs they load. Both run with
// administrator rights, from folders other users may write (a download
// unpacked on the desktop, a removable drive, an installation folder outside
// Program Files); a DLL of a wanted name lying there would run inside them.
// So: their import tables name only Windows' known DLLs, which the system
// always takes from its own folder; everything else comes from the system
// folder by its full path; and the search for whatever the system DLLs load
// by name later is narrowed at start-up to the system folder.
#include <windows.h>

#include <string>

namespace sys {

// How RestrictDllSearch left the process, for the tests and the record.
enum class DllSearch {
  SystemFolderOnly,  // SetDefaultDllDirectories (Windows 8 on; Vista and 7 with its update)
  NoCurrentFolder,   // SetDllDirectory("") only (XP SP1 on): the program's folder is still searched
  Unchanged,         // neither (XP before SP1)
};

// Called first thing, before any window: narrows the search for every DLL
// loaded by name from then on to the system folder where the system can,
// else takes the current folder out of it. Both functions are looked up at
// run time: XP SP3 lacks the first, and the XP headers declare neither.
DllSearch RestrictDllSearch();
// Loads from the system folder the DLLs the system's own DLLs load by name
// while the programs run and may look for beside them whatever the default
// directories say: the common controls take the theme library (uxtheme) and
// the blending functions (msimg32) through their delay-load helper, which XP,
// Vista and 7 without the search update (and Wine, whatever the program set)
// search from the program's folder first. A load by name then finds the
// module already loaded. Called right after RestrictDllSearch.
void PreloadSystemLibraries();
// What RestrictDllSearch achieved (Unchanged before it ran).
DllSearch CurrentDllSearch();

// A DLL of the system folder, by its full path there (name: "comctl32.dll"),
// never one of the same name elsewhere. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A control (an in-process server) by its full path, code page 936, so that
// its own dependencies are looked for in its folder first, as the system's
// registration tool loads it: LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR with the
// system folder where the search flags exist, LOAD_WITH_ALTERED_SEARCH_PATH
// elsewhere (the two cannot be combined).
HMODULE LoadControlLibrary(const std::string& path);

}  // namespace sys
