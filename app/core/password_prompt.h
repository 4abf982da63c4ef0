// The menu password: the masked input box and the gate of the service menus.
#pragma once
#include <QString>

namespace quorel {

// The program's masked input box: a modal prompt whose field shows "*" for
// every character typed. Returns the text typed, "" on Cancel. An empty
// title shows the program's title. The position and help arguments of the
// older form of the call are not taken: the box is placed by the toolkit.
QString InputBoxDK(const QString& prompt, const QString& title = QString(), const QString& defaultText = QString());

enum class PasswordEcho { kMasked, kPlain };

// The gate of a service menu item: true at once in administrator mode;
// otherwise empties gPasswordEntry, asks "Input password" (masked, or plain
// for the card-read test), keeps the answer in gPasswordEntry and compares it
// exactly with gMenuPassword. A wrong, empty or cancelled entry shows nothing.
bool PasswordGate(PasswordEcho echo = PasswordEcho::kMasked);

}  // namespace quorel
