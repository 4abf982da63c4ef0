// The Mivor tab of the EEPROM window: information read, the nine named
// settings with the head data and temperatures, the counter panel, 16 raw
// rows, the head lift, the administrator box; in the right-hand column that
// only the wide layout shows, the rank tables, the status-code list and the
// customer message.
#pragma once
#include <QWidget>

namespace quorel::eep {

class MivorTab : public QWidget {
 public:
  // leftWidth: the column the normal layout shows; the page clips the rest.
  MivorTab(QWidget* page, int leftWidth, const QSize& content);

 private:
  QWidget* MakeLeftColumn(int width);
  QWidget* MakeRightColumn(int width);
};

}  // namespace quorel::eep
