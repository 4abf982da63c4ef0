#include "eeprom/error_code_list.h"

#include "core/main_module.h"
#include "eeprom/narrow_text.h"

namespace quorel::eep {
namespace {

// Per group: the last index listed and the indexes left out (a bit each);
// group 8 lists nothing.
struct Group {
  int last;
  unsigned skipped;
};
constexpr Group kGroups[10] = {
    {5, 0},                                              // 00-05
    {4, 0},                                              // 10-14
    {5, 1u << 4},                                        // 20-23, 25
    {12, (1u << 1) | (1u << 11)},                        // 30, 32-3A, 3C
    {8, 0},                                              // 40-48
    {4, 0},                                              // 50-54
    {4, 1u << 3},                                        // 60-62, 64
    {5, (1u << 1) | (1u << 2) | (1u << 3) | (1u << 4)},  // 70, 75
    {-1, 0},                                             // none
    {6, (1u << 1) | (1u << 5)},                          // 90, 92-94, 96
};

}  // namespace

QStringList ErrorCodeGroupItems() {
  QStringList items;
  for (int g = 0; g < 10; ++g) items << QStringLiteral("No.%1x Error Code Display").arg(g);
  return items;
}

int ErrorCodeGroupOf(const QString& item) {
  if (item.size() < 4 || !item.at(3).isDigit()) return -1;
  return item.at(3).digitValue();
}

QString ErrorCodeList(int group) {
  if (group < 0 || group > 9) return QString();
  const MainModule& m = mm();
  QString list;
  for (int i = 0; i <= kGroups[group].last; ++i) {
    if (kGroups[group].skipped & (1u << i)) continue;
    const int code = 16 * group + i;
    list += QString::number(group) + QString::number(i, 16).toUpper() + QStringLiteral("  ") +
            ToNarrow(m.gErrText[static_cast<size_t>(code)]) + QStringLiteral("\r\n");
  }
  return list;
}

}  // namespace quorel::eep
