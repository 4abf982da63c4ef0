// Where the program finds its files.
#pragma once
#include <QString>

namespace quorel {

// The running program's folder, or $QUOREL_PROGRAM_DIR when set (the tests
// point it at a scratch folder: settings files, instance locks and the
// library are then looked up there). Without a trailing separator.
QString ProgramDir();

// The user's desktop folder when it exists, else the home folder.
QString DesktopDir();

// dir & "/" & name, the separator only when dir does not end in one already;
// an empty dir gives name alone.
QString JoinPath(const QString& dir, const QString& name);

// The library file the program binds at run time, in the program folder.
QString LibraryFileName();

}  // namespace quorel
