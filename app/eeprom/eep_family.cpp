#include "eeprom/eep_family.h"

#include <initializer_list>

namespace quorel::eep {
namespace {

struct FamilyInfo {
  const char* name;
  int rows;
  const char* questionTitle;
  const char* fileTitle;
  const char* wrongFileTitle;
  char rule;
};
const FamilyInfo kFamilies[kFamilyCount] = {
    {"Mivor", 16, "EEPROM Mivor", "Mivor_EEPROM_Data", "Mivor EEPROM Data", '*'},
    {"Dastel", 4, "EEPROM Dastel", "Dastel_EEPROM_Data", "Dastel EEPROM Data", '/'},
    {"Quenby", 4, "EEPROM Holdt / Quenby", "Quenby_EEPROM_Data", "Quenby EEPROM Data", '/'},
    {"Folsk", 4, "EEPROM Folsk Series", "Folsk_EEPROM_Data", "Folsk EEPROM Data", '/'},
};

const FamilyInfo& Info(Family f) { return kFamilies[static_cast<int>(f)]; }

// A rule names prefixes; the version mismatches when it begins with none of
// them (kOwn: the family's own prefixes) or with one of them (kForeign: the
// prefixes of the other families).
enum class Kind { kOwn, kForeign };
struct Rule {
  Kind kind;
  std::initializer_list<const char*> prefixes;
};

const Rule kMivorOwn{Kind::kOwn, {"Mivor"}};
const Rule kMivorForeign{Kind::kForeign, {"3", "145", "51", "14", "9", "4211"}};
const Rule kDastelOwn{Kind::kOwn, {"3", "4"}};
const Rule kDastelReport{Kind::kOwn, {"3", "4211"}};
const Rule kQuenbyOwn{Kind::kOwn, {"9"}};
const Rule kFolskOwn{Kind::kOwn, {"51", "14"}};

// Rows: family; columns: information read, other handlers, report.
const Rule* const kRules[kFamilyCount][3] = {
    {&kMivorOwn, &kMivorForeign, &kMivorForeign},
    {&kDastelOwn, &kDastelOwn, &kDastelReport},
    {&kQuenbyOwn, &kQuenbyOwn, &kQuenbyOwn},
    {&kFolskOwn, &kFolskOwn, &kFolskOwn},
};

}  // namespace

Family FamilyOfTab(int tab) { return tab >= 1 && tab <= 3 ? static_cast<Family>(tab) : Family::kMivor; }

Family FamilyOfSharedIndex(int index) {
  return index >= 0 && index <= 2 ? static_cast<Family>(index + 1) : Family::kDastel;
}

QString FamilyName(Family f) { return QString::fromLatin1(Info(f).name); }
int RowCount(Family f) { return Info(f).rows; }
QString ModelQuestionTitle(Family f) { return QString::fromLatin1(Info(f).questionTitle); }
QString DataFileTitle(Family f) { return QString::fromLatin1(Info(f).fileTitle); }
QString WrongFileTitle(Family f) { return QString::fromLatin1(Info(f).wrongFileTitle); }
QChar ReportRuleChar(Family f) { return QLatin1Char(Info(f).rule); }

bool ModelMismatch(Family f, ModelCheck check, const QString& version) {
  const Rule& rule = *kRules[static_cast<int>(f)][static_cast<int>(check)];
  bool begins = false;
  for (const char* p : rule.prefixes) begins = begins || version.startsWith(QLatin1String(p));
  return rule.kind == Kind::kOwn ? !begins : begins;
}

QString ModelQuestionText() { return QStringLiteral("機種が該当しないと思われますが実行されますか？"); }

}  // namespace quorel::eep
