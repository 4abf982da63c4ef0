// The program's identity and the library file's version.
#pragma once
#include <QString>
#include <cstdint>

namespace quorel {

// The program title: message boxes without a caption show it, and
// [Application] App of Quorel.ini must equal it.
QString ProgramTitle();

// The program's own version, "major.minor.patch.tweak" of the build.
QString ProgramVersion();

// The four numbers of the version the file carries, read without loading
// it; a, b, c and d are left unchanged when the file has none (or is missing).
void GetFileVersion(const QString& path, int32_t& a, int32_t& b, int32_t& c, int32_t& d);

// gDllVersion: the library file's four numbers joined by ".", or
// " File Not Found !! " when the file is missing or carries no version.
QString LibraryVersionText(const QString& libraryPath);

}  // namespace quorel
