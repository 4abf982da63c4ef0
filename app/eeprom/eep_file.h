// The EEPROM data file ("*.eep"): a settings file in CP932 holding the rows
// of one family under their row labels.
//
//   [EEPROM_Data_Title]            "1" ... appended for running copy 1 ...
//   Title=Dastel_EEPROM_Data
//   [EEPROM_Address]
//   0x00～0x0F(00/10)=<64 hex digits>
//   ...
//
// Every key goes through the settings-file writer, so writing into an
// existing file replaces only the keys written and keeps everything else.
#pragma once
#include <QString>
#include <QStringList>

#include "eeprom/eep_family.h"

namespace quorel::eep {

// The two section names of this running copy.
QString EepTitleSection();
QString EepAddressSection();

// The family title written as "Title".
void WriteEepTitle(const QString& path, Family f);
// One row's data under its label.
void WriteEepRow(const QString& path, int row, const QString& data);
// A row that could not be read: its key goes, so the file never keeps an
// older value (perhaps another device's) as if this export had read it.
void RemoveEepRow(const QString& path, int row);

struct EepFileRows {
  bool titleFits = false;  // "Title" equals the family's title exactly
  QStringList rows;        // one per row of the family; "" for a missing key
};
// The rows of the family from the file (rows empty when the title does not fit).
EepFileRows ReadEepFile(const QString& path, Family f);

}  // namespace quorel::eep
