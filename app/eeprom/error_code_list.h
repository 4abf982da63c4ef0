// The status-code list of the Mivor tab: ten groups of codes (0x00-0x0F up
// to 0x90-0x9F); a group lists each of its codes that the status-code table
// gives a text, one line each: the two hex digits, two blanks, the text
// narrowed to half-width characters, CR LF. Built from the table as it
// stands at each call, so it follows the program's language.
#pragma once
#include <QString>
#include <QStringList>

namespace quorel::eep {

// "No.0x Error Code Display" to "No.9x Error Code Display".
QStringList ErrorCodeGroupItems();
// The group of an item: its fourth character as a digit; -1 when it is none.
int ErrorCodeGroupOf(const QString& item);
// The list of group 0 to 9 ("" for group 8, which has no codes, and for any
// other number).
QString ErrorCodeList(int group);

}  // namespace quorel::eep
