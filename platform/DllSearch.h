// Where the process looks for the DLLs it loads by name.
//
// A downloaded program runs from a folder anyone may have left DLLs in, and Windows looks in
// the program's own folder first for every DLL that is not a KnownDLL: the system DLLs behind
// windows, COM, shell links, sockets and mail load several more by name. Each entry point
// calls RestrictDllSearch first, before any of those, so that every later load by name comes
// from the Windows system folder only.
//
// Win32: SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) where Windows has it (not on
// Vista, see win32/DllSearch.cpp); elsewhere SetDllDirectory("") and the DLLs known to be
// loaded by name are loaded from the system folder ahead of time. Then SetSearchPathMode's
// safe mode for good, so that SearchPath (and CreateProcess) look in the current folder last.
// POSIX: nothing to do; the dynamic loader never looks in the program's own folder.
#pragma once

namespace plat {

void RestrictDllSearch();

}  // namespace plat
