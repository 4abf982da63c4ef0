#include "testbench/sensor_tab_page.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/form_controls.h"
#include "testbench/bench_widgets.h"
#include "testbench/sensor_test.h"

namespace quorel {
namespace {

QLineEdit* Edit(QWidget* parent, const QString& name, int index, int maxLength, bool enabled = false) {
  auto* e = Named(new QLineEdit(parent), name, index);
  e->setMaxLength(maxLength);
  e->setEnabled(enabled);
  e->setMaximumWidth(60);
  return e;
}

// The setting-area captions: the first few name the boxes beside them.
void SetCaptions(QWidget* parent, QGridLayout* g, const QString& name, const QStringList& texts, int row) {
  for (int i = 0; i <= 10; ++i) {
    auto* l = Label(parent, name, i, i < texts.size() ? texts[i] : QString());
    l->setEnabled(false);
    if (i < texts.size()) g->addWidget(l, row + i, 0);
    else l->hide();
  }
}

QWidget* SensorFrame(QWidget* page) {
  auto* frame = Named(new QGroupBox(QStringLiteral("Sensor Volt"), page), QStringLiteral("FrameSensorVolt"));
  auto* g = new QGridLayout(frame);
  g->addWidget(Named(new QPushButton(SensorTest::kStart, frame), QStringLiteral("CmdSensorVolt")), 0, 0, 1, 2);
  static const char* const kLetters[] = {"S", "A", "B", "C", "D", "E"};
  for (int i = 0; i < 6; ++i) {
    const QString letter = QLatin1String(kLetters[i]);
    auto* check = Named(new QCheckBox(frame), QStringLiteral("ChkSensor"), i);
    check->setToolTip(QStringLiteral("ﾁｪｯｸすると") + letter + QStringLiteral("ｾﾝｻｰを測定します。"));
    check->setEnabled(false);
    g->addWidget(check, i + 1, 0);
    g->addWidget(Label(frame, QStringLiteral("LbSensor"), i, letter), i + 1, 1);
    g->addWidget(Label(frame, QStringLiteral("LbSensorV"), i, QStringLiteral("-.--")), i + 1, 2);
    g->addWidget(Label(frame, QStringLiteral("LbSenJudge"), i, QString()), i + 1, 3);
  }
  g->addWidget(Label(frame, QStringLiteral("LbSenTotalJudge"), -1, QString()), 7, 3);

  auto* set = new QWidget(frame);
  auto* sg = new QGridLayout(set);
  SetCaptions(set, sg, QStringLiteral("LbSensorSet"), {QStringLiteral("Test Range:"), QStringLiteral("Base Volt:")}, 0);
  auto* range = new QHBoxLayout;
  range->addWidget(Edit(set, QStringLiteral("TxtRange"), 0, 4));
  range->addWidget(new QLabel(QStringLiteral("～"), set));
  range->addWidget(Edit(set, QStringLiteral("TxtRange"), 1, 4));
  sg->addLayout(range, 0, 1);
  sg->addWidget(Edit(set, QStringLiteral("TxtBaseVolt"), -1, 3), 1, 1);
  auto* ci = Named(new QCheckBox(QStringLiteral("CI Command"), set), QStringLiteral("ChkSenCIcmd"));
  ci->setEnabled(false);
  sg->addWidget(ci, 2, 0, 1, 2);
  sg->addWidget(Named(new QCheckBox(QStringLiteral("Sensor Test Setting"), set), QStringLiteral("ChkSensorSettingMode")),
                3, 0, 1, 2);
  g->addWidget(set, 0, 4, 8, 1);
  return frame;
}

QWidget* ValuesFrame(QWidget* page) {
  auto* frame = Named(new QGroupBox(QStringLiteral("Temp / Battery"), page), QStringLiteral("FrameSensorETC"));
  auto* g = new QGridLayout(frame);
  g->addWidget(Named(new QPushButton(SensorTest::kStart, frame), QStringLiteral("CmdetcValue")), 0, 0, 1, 2);
  static const char* const kNames[] = {"TPH", "Erase", "Circuit", "Battery"};
  for (int i = 0; i < 4; ++i) {
    g->addWidget(new QLabel(QLatin1String(kNames[i]), frame), i + 1, 0);
    g->addWidget(Label(frame, QStringLiteral("LbetcValue"), i, i < 3 ? QStringLiteral("---") : QStringLiteral("-.--")),
                 i + 1, 1);
    g->addWidget(Label(frame, QStringLiteral("LbetcJudge"), i, QString()), i + 1, 2);
  }
  g->addWidget(Label(frame, QStringLiteral("LbEtcTotalJudge"), -1, QString()), 5, 2);

  auto* set = new QWidget(frame);
  auto* sg = new QGridLayout(set);
  SetCaptions(set, sg, QStringLiteral("LbetcSet"),
              {QStringLiteral("TPH Temp:"), QStringLiteral("Erase Temp:"), QStringLiteral("Circuit Temp:"),
               QStringLiteral("Backup Battery (V)")},
              0);
  const struct {
    const char* name;
    int maxLength;
  } temps[] = {{"TxtTPHtmp", 2}, {"TxtErtmp", 3}, {"TxtCirtmp", 2}};
  for (int k = 0; k < 3; ++k) {
    auto* row = new QHBoxLayout;
    row->addWidget(Edit(set, QLatin1String(temps[k].name), 0, temps[k].maxLength));
    row->addWidget(new QLabel(QStringLiteral("～"), set));
    row->addWidget(Edit(set, QLatin1String(temps[k].name), 1, temps[k].maxLength));
    sg->addLayout(row, k, 1);
  }
  sg->addWidget(Edit(set, QStringLiteral("TxtBattery"), -1, 4), 3, 1);
  sg->addWidget(Named(new QCheckBox(QStringLiteral("etc Test Setting"), set), QStringLiteral("ChkEtcSettingMode")), 4,
                0, 1, 2);
  g->addWidget(set, 0, 3, 6, 1);
  return frame;
}

}  // namespace

QWidget* BuildSensorTabPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->addWidget(SensorFrame(page));
  v->addWidget(ValuesFrame(page));
  auto* status = new QHBoxLayout;
  auto* lamp = Named(new QFrame(page), QStringLiteral("ShpSentest"));
  lamp->setFrameShape(QFrame::Box);
  lamp->setFixedSize(24, 24);
  status->addWidget(lamp);
  status->addWidget(Label(page, QStringLiteral("LbSenMsg"), -1, QString()), 1);
  v->addLayout(status);
  v->addStretch(1);
  return page;
}

void InstallSensorTab(QObject* owner, WidgetControls& ui, JobHost& host, BenchJobState& state) {
  // The test lives in a child of the owner, so it goes with the window.
  struct Holder : QObject {
    Holder(QObject* parent, FormControls& ui, JobHost& host, BenchJobState& state)
        : QObject(parent), test(ui, host, state) {}
    SensorTest test;
  };
  auto* holder = new Holder(owner, ui, host, state);
  SensorTest* test = &holder->test;
  if (auto* b = ui.Get<QPushButton>(QStringLiteral("CmdSensorVolt")))
    QObject::connect(b, &QPushButton::clicked, holder, [test] { test->SensorClick(); });
  if (auto* b = ui.Get<QPushButton>(QStringLiteral("CmdetcValue")))
    QObject::connect(b, &QPushButton::clicked, holder, [test] { test->ValuesClick(); });
  if (auto* c = ui.Get<QCheckBox>(QStringLiteral("ChkSensorSettingMode")))
    QObject::connect(c, &QCheckBox::clicked, holder, [test] { test->SensorSettingClick(); });
  if (auto* c = ui.Get<QCheckBox>(QStringLiteral("ChkEtcSettingMode")))
    QObject::connect(c, &QCheckBox::clicked, holder, [test] { test->EtcSettingClick(); });
}

}  // namespace quorel
