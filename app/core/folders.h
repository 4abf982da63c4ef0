// Where the program finds its files.
#pragma once
#include <QString>

namespace quorel {

// The running program's folder, or $QUOREL_PROGRAM_DIR when set (the tests
// point it at a scratch folder: settings files, instance locks and the
// library are then looked up there). Without a trailing separator.
QString ProgramDir();

// Where the program keeps the files it writes: its settings files
// Quorel.ini and Vantor.ini, its instance locks and the data folders its
// defaults name. $QUOREL_PROGRAM_DIR when set; else the program folder when
// the user may write there (a copy unpacked anywhere keeps its files beside
// itself); else, for an installed, read-only program folder, the per-user
// folder $XDG_CONFIG_HOME/quorel (~/.config/quorel), made when missing.
QString SettingsDir();

// The rule behind SettingsDir() once $QUOREL_PROGRAM_DIR is known to be
// unset: the program folder when it is writable, else the per-user folder.
QString SettingsDirFor(const QString& programDir, bool programDirWritable);

// The user's desktop folder when it exists, else the home folder.
QString DesktopDir();

// dir & "/" & name, the separator only when dir does not end in one already;
// an empty dir gives name alone.
QString JoinPath(const QString& dir, const QString& name);

// The library file the program binds at run time, in the program folder.
QString LibraryFileName();

}  // namespace quorel
