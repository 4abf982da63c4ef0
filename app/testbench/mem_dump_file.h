// The memory dump's text file: "MemDum" and the date and time as its
// proposed name, the dump text in CP932 with CR LF line ends and one CR LF
// after the last line, written whole or not at all.
#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace quorel {

// "MemDum" + yymmddhhmmss of now ("MemDum240131235959").
QString ProposedDumpFileName(const QDateTime& now);

// The file's bytes: the text with every line end (LF, CR LF or CR) as CR LF,
// a CR LF after it, in CP932.
QByteArray DumpFileBytes(const QString& text);

// Writes the file; nothing when it was written, else the reason.
std::optional<QString> WriteDumpFile(const QString& path, const QString& text);

// The Save button: asks for the path in the save dialog (folder gLogOutPath,
// the proposed name; the dialog asks before replacing a file) and writes the
// text there. A file that cannot be written gives a critical box with the
// path and the reason. Cancel writes nothing.
void SaveDumpFile(const QString& text, const QDateTime& now);

}  // namespace quorel
