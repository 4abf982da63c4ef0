#include "testbench/jitter_tab_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/form_controls.h"
#include "testbench/bench_widgets.h"
#include "testbench/jitter_test.h"

namespace quorel {
namespace {

// The jitter table's cells are centred.
QLabel* CentredLabel(QWidget* parent, const QString& name, int index, const QString& text) {
  auto* l = Label(parent, name, index, text);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

// The card stocks by kind code "0" to "?".
const char* const kCardKinds[] = {
    "0: 標準カード",  "1: 白色PET",    "2: 透明PET",     "3: 厚手カード", "4: 薄手カード", "5: 高保磁力",
    "6: 低保磁力",    "7: 紙カード",   "8: 特殊カード1", "9: 特殊カード2", ":: 特殊カード3", ";: 予備",
    "<: 特殊カード4", "=: 特殊カード5", ">: 特殊カード6", "?: 自動判別"};

struct Column {
  const char* caption;
  const char* tip;
};
const Column kColumns[] = {{"Track", "磁気トラック番号"},
                           {"MAX", "ビットインターバル最大時間［μｓ］"},
                           {"MIN", "ビットインターバル最小時間［μｓ］"},
                           {"AVE", "ビットインターバル平均時間［μｓ］"},
                           {"RATE", "ジッター（変動率）［％］"},
                           {"SPEED", "平均速度[mm/s]"},
                           {"THR", "0/1判定基準時間 [μｓ] "},
                           {"JUDGE", "ジッター変動率が20％未満のとき\"  OK\"、以上のとき\"  NG\""}};

}  // namespace

QWidget* BuildJitterTabPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  top->addWidget(Named(new QPushButton(JitterTest::kIdle, page), QStringLiteral("CmdClockJitterTst")));
  auto* lamp = Named(new QFrame(page), QStringLiteral("ShapeJitterMsg"));
  lamp->setFrameShape(QFrame::Box);
  lamp->setFixedSize(24, 24);
  top->addWidget(lamp);
  auto* msg = Named(new QLabel(page), QStringLiteral("LbJitterMsg"));
  msg->setTextFormat(Qt::PlainText);
  top->addWidget(msg, 1);
  v->addLayout(top);

  auto* frame = Named(new QGroupBox(QStringLiteral("Clock Jitter"), page), QStringLiteral("FrameJitter"));
  auto* fv = new QVBoxLayout(frame);
  auto* options = new QHBoxLayout;
  for (int k = 1; k <= 3; ++k) {
    auto* c = Named(new QCheckBox(QString::number(k) + QStringLiteral("Track"), frame), QStringLiteral("ChkJitterTrack"), k);
    c->setChecked(true);
    options->addWidget(c);
  }
  auto* print = Named(new QCheckBox(QStringLiteral("Data Card Print"), frame), QStringLiteral("ChkJitter"));
  print->setToolTip(QStringLiteral("チェックすると、指定のカード種で印字を行います。"));
  options->addWidget(print);
  auto* kind = Named(new QComboBox(frame), QStringLiteral("CmbJitterCardKind"));
  kind->setEditable(true);
  for (const char* k : kCardKinds) kind->addItem(QString::fromUtf8(k));
  kind->setEditText(QString());
  kind->setEnabled(false);
  options->addWidget(kind, 1);
  fv->addLayout(options);

  auto* grid = new QGridLayout;
  grid->addWidget(CentredLabel(frame, QStringLiteral("LbJitterKaiten"), 0, QStringLiteral("挿入方向")), 0, 0, 1, 8);
  grid->addWidget(CentredLabel(frame, QStringLiteral("LbJitterKaiten"), 1, QStringLiteral("排出方向")), 0, 8, 1, 8);
  for (int c = 0; c < 16; ++c) {
    auto* h = CentredLabel(frame, QStringLiteral("LbJitterIndex"), c, QLatin1String(kColumns[c % 8].caption));
    h->setToolTip(QString::fromUtf8(kColumns[c % 8].tip));
    grid->addWidget(h, 1, c);
    for (int k = 1; k <= 3; ++k) {
      QString text = QStringLiteral("---");
      if (c % 8 == 0) text = QString::number(k) + QStringLiteral("Tr");
      else if (c % 8 == 4) text = QStringLiteral("--.-");
      else if (c % 8 == 7) text = QStringLiteral("--");
      grid->addWidget(CentredLabel(frame, QStringLiteral("LbJitter") + QString::number(k) + QStringLiteral("Tr"), c, text), k + 1,
                      c);
    }
  }
  fv->addLayout(grid);
  v->addWidget(frame);
  v->addStretch(1);
  return page;
}

void InstallJitterTab(QWidget* window, WidgetControls& ui, JobHost& host, BenchJobState& state) {
  struct Holder : QObject {
    Holder(QObject* parent, FormControls& ui, JobHost& host, BenchJobState& state)
        : QObject(parent), test(ui, host, state) {}
    JitterTest test;
  };
  auto* holder = new Holder(window, ui, host, state);
  JitterTest* test = &holder->test;
  test->SetCaptionHook([window](const QString& caption) { window->setWindowTitle(caption); });
  if (auto* b = ui.Get<QPushButton>(QStringLiteral("CmdClockJitterTst")))
    QObject::connect(b, &QPushButton::clicked, holder, [test] { test->Click(); });
  // A release of a key or a mouse button on the box: its clicked signal.
  if (auto* c = ui.Get<QCheckBox>(QStringLiteral("ChkJitter")))
    QObject::connect(c, &QCheckBox::clicked, holder, [test] { test->PrintOptionChanged(); });
}

}  // namespace quorel
