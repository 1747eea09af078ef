#pragma once
// Where the sliced-loop library is looked for, in order:
//   1. the path the user gives (the --slc-library option),
//   2. the environment variable HAMPER_SLC_LIBRARY,
//   3. the folder of the running executable,
//   4. the build tree the program was built in (when built with HAMPER_SLC_SEARCH_BUILD_TREE),
//   5. the installed folder (HAMPER_SLC_INSTALL_DIR, by default PREFIX/lib/hamper-packer).
// 1 and 2 may name the library file or a folder holding it. Either one, when given, is final:
// a wrong path is reported as "not found" rather than quietly replaced by another library.
//
//   const int result = slc.Load(FindSLCLibrary(options.slcLibrary));

#include <string>
#include <vector>

// The library's file name in every folder it is looked for in.
inline constexpr char kSLCLibraryFileName[] = "SLC Shared Library.so";
inline constexpr char kSLCLibraryVariable[] = "HAMPER_SLC_LIBRARY";

// The places in order: one when a path is given (by argument or variable), else places 3 to 5.
std::vector<std::string> SLCLibraryCandidates(const std::string& explicitPath);
// The given path (whether or not anything is there), else the first of places 3 to 5 that holds
// a file, else "" (which Load reports as not found).
std::string FindSLCLibrary(const std::string& explicitPath);
// Place 5, the folder the library is installed to, or "" when the program was built without one.
std::string SLCLibraryInstallFolder();
