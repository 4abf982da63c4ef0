// The program's text <-> bytes codec: CP932, the code page of the device and
// of the settings files. Built on the platform's converter so the whole
// program has one CP932 mapping.
//
// Raw bytes: a command may name any byte ("bin$82"), also one that is not a
// complete CP932 character by itself. Such a byte travels inside a QString as
// the private-use character U+F700 + byte (U+F780..U+F7FF). No CP932
// character maps into that range, so the encoder can turn it back into the
// byte without ambiguity.
#pragma once
#include <QByteArray>
#include <QChar>
#include <QString>

namespace quorel::cp932 {

// Never fails: a byte sequence that is not CP932 becomes one U+FFFD.
QString Decode(const QByteArray& bytes);
inline QString Decode(const char* bytes) { return Decode(QByteArray(bytes)); }

// Never fails: a character CP932 cannot hold becomes '?'; a raw-byte escape
// becomes its byte.
QByteArray Encode(const QString& text);

// The same encoding, for text that must arrive unchanged (a file path the
// library opens): false when a character has no CP932 form, *out then holds
// Encode's result.
bool EncodeExact(const QString& text, QByteArray* out);

// The character that encodes to exactly this byte: the ASCII or half-width
// katakana character when the byte is one by itself, else the raw-byte escape.
QChar ByteChar(unsigned char byte);

// True for the raw-byte escapes U+F780..U+F7FF.
inline bool IsByteEscape(QChar c) { return c.unicode() >= 0xF780 && c.unicode() <= 0xF7FF; }

}  // namespace quorel::cp932
