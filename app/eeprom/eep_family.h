// The four model families of the EEPROM window, one per tab, and what sets
// them apart: row count, control-name suffix, titles, and the rule that
// tells from a device's version text whether it belongs to the family.
//
// The Dastel, Quenby and Folsk tabs share control arrays of three members
// (index 0 Dastel, 1 Quenby, 2 Folsk, names ending "_Dastel"); their other
// controls carry the family's own suffix.
#pragma once
#include <QChar>
#include <QString>

namespace quorel::eep {

// Values are the tab indexes.
enum class Family { kMivor = 0, kDastel = 1, kQuenby = 2, kFolsk = 3 };
constexpr int kFamilyCount = 4;

// Tab 0 to 3; anything else is Mivor.
Family FamilyOfTab(int tab);
inline int TabOf(Family f) { return static_cast<int>(f); }
// The index in the shared arrays (Dastel 0, Quenby 1, Folsk 2); -1 for Mivor.
inline int SharedIndex(Family f) { return static_cast<int>(f) - 1; }
// The family of a shared-array index 0 to 2.
Family FamilyOfSharedIndex(int index);

// "Mivor", "Dastel", "Quenby", "Folsk": the tab caption and the name part
// of the family's own controls ("TxtEEPALL_" + name).
QString FamilyName(Family f);
// Rows of the raw grid: 16 (words 00-FF) for Mivor, 4 (00-3F) for the others.
int RowCount(Family f);
// Title of the model question box.
QString ModelQuestionTitle(Family f);
// The "Title" value of the family's EEPROM data files and the title of the
// box that refuses a file of another family.
QString DataFileTitle(Family f);
QString WrongFileTitle(Family f);
// The character of the report's opening and closing rules.
QChar ReportRuleChar(Family f);

// Which handler checks the model: the rules differ.
enum class ModelCheck {
  kInformationRead,  // the tab's read of everything
  kOtherHandlers,    // every other handler with a model check
  kReport,           // the device report
};

// True when the version text ("VS" data) does not fit the family under
// that check. One table holds every rule.
bool ModelMismatch(Family f, ModelCheck check, const QString& version);

// The text of the model question (OK goes on, Cancel ends the job).
QString ModelQuestionText();

}  // namespace quorel::eep
