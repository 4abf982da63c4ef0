// Command files on disk: CP932 text whose lines end in CR LF. Reading gives
// the editor's text with every line followed by CR LF; writing adds a CR LF
// only when the text lacks one, so opening and saving a file keeps its bytes.
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace quorel {

// Larger files are no command files; reading one would stall the editor.
constexpr int64_t kMaxCommandFileBytes = 16 * 1024 * 1024;

// The editor text of a file's bytes: each line (ended by CR LF, a lone CR or
// LF, or the end of the data) followed by CR LF. No bytes give "".
QString CommandFileText(const QByteArray& bytes);

// The bytes of an editor text: CP932, with CR LF appended only when the text
// does not already end in one. An empty text gives no bytes.
QByteArray CommandFileBytes(const QString& text);

// Reads a whole command file; false with *error set when it cannot be read
// (missing, a folder, unreadable, too large). *text is untouched then.
bool ReadCommandFile(const QString& path, QString* text, QString* error);

// Writes the file whole or not at all; false with *error set.
bool WriteCommandFile(const QString& path, const QString& text, QString* error);

}  // namespace quorel
