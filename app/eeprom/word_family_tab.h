// One Dastel-type tab of the EEPROM window, built three times (Dastel,
// Quenby, Folsk): information read, the five settings with head data and
// temperatures, four raw rows, the reset command; in the right-hand column
// that only the wide layout shows, the counter panel. The shared arrays'
// member is the family's index (0 Dastel, 1 Quenby, 2 Folsk).
#pragma once
#include <QWidget>

#include "eeprom/eep_family.h"

namespace quorel::eep {

class WordFamilyTab : public QWidget {
 public:
  WordFamilyTab(QWidget* page, Family family, int leftWidth, const QSize& content);

 private:
  QWidget* MakeLeftColumn(int width);

  Family family_;
};

}  // namespace quorel::eep
