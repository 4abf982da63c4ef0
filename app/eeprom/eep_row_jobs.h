// The raw row grid of every tab: the row buttons, the all-rows button and
// the mode option (Read, Write, fill with "F"), with the per-family
// differences in success test, tool tip and read-back.
#pragma once
#include <QString>

#include "eeprom/eep_family.h"

namespace quorel::eep {

class EepFrame;
class EepJob;

class RowGrid {
 public:
  explicit RowGrid(EepFrame& frame) : frame_(frame) {}

  // CmdEEPAd_<F>(row).
  void RowClick(Family f, int row);
  // CmdEepAll_<F>: also run by the information read and the device report.
  void AllRows(Family f);
  // OpEEPAllRdWr_<F>(index): the fill option fills every row box at once.
  void ModeClick(Family f, int index);

  // The selected mode: 0 Read, 1 Write, 2 fill, -1 none.
  int Mode(Family f) const;

 private:
  enum class Tip { kLength, kLabelBracket, kLabelParen, kText };
  // One row read of an all-rows job: the box, its tool tip, the report line.
  bool ReadRowForAll(EepJob& job, Family f, int row, Tip tip);
  void SetRowTip(Family f, int row, Tip tip);
  void MivorAll(EepJob& job);
  void WordFamilyAll(EepJob& job, Family f);
  void FillBoxes(Family f);
  QString Box(Family f, int row) const;
  void SetBox(Family f, int row, const QString& text);

  EepFrame& frame_;
};

}  // namespace quorel::eep
