// The rules of the memory dump's text: the address boxes' six-digit form,
// the range check and its cap, the header line, a reply's line, the
// percentage and the search in the dump.
//
// A dump line as the device sends it begins with its address as six
// upper-case hex digits, so the end test compares texts: a line that sorts
// after the end address's text lies past the end.
#pragma once
#include <QString>
#include <cstdint>
#include <optional>

namespace quorel {

// The longest span a dump covers: 845 lines of 16 bytes.
constexpr uint32_t kDumpMaxSpan = 13519;  // 0x34CF

// An address box's text when it loses the focus: the last six characters of
// "000000" + the text without outer blanks, in upper case ("ab12" -> "00AB12").
QString NormalizeAddress(const QString& text);

// The value of exactly six hex digits (either case); nothing otherwise.
std::optional<uint32_t> AddressValue(const QString& text);

// Six upper-case hex digits.
QString AddressText(uint32_t address);

// The end address a dump from start uses: end, or start + kDumpMaxSpan when
// end lies further.
uint32_t CappedEnd(uint32_t start, uint32_t end);

// The first line of every dump: the column heads of the 16 bytes and of
// their characters.
QString DumpHeader();

// The dump line a reply carries: its text from the seventh character on,
// when the reply is longer than six characters.
std::optional<QString> LineOfReply(const QString& replyText);

// True when the reply is a good dump reply ("Amd90").
bool GoodDumpReply(const QString& replyText);

// True when the line lies past the end address (text order).
bool PastEnd(const QString& line, const QString& endText);

// counter / span as a whole percentage with "%", rounded half up; a span of
// 0 is a finished dump, "100%".
QString PercentText(int64_t counter, int64_t span);

// A match of the search: its character position and length.
struct DumpMatch {
  qsizetype position = 0;
  qsizetype length = 0;
};

// The first match of what in text at or after character position from,
// ignoring case; nothing for an empty search text. The next search starts
// at position + length.
std::optional<DumpMatch> FindInDump(const QString& text, const QString& what, qsizetype from);

}  // namespace quorel
