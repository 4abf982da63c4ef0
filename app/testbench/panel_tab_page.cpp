#include "testbench/panel_tab_page.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/folders.h"
#include "core/form_controls.h"
#include "testbench/bench_widgets.h"
#include "testbench/dip_switch_test.h"
#include "testbench/panel_test.h"

namespace quorel {
namespace {

QFrame* Shape(QWidget* parent, const QString& name, int index, int w, int h) {
  auto* f = Named(new QFrame(parent), name, index);
  f->setFrameShape(QFrame::Box);
  f->setFixedSize(w, h);
  f->setAutoFillBackground(true);
  return f;
}

QWidget* PanelFrame(QWidget* page) {
  auto* frame = Named(new QGroupBox(page), QStringLiteral("Frame7SEG"));
  auto* g = new QGridLayout(frame);
  g->addWidget(Label(frame, QStringLiteral("Txt7SegFrameLabel"), -1, QStringLiteral("7SEG / LED / Buzzer Check")), 0, 0,
               1, 3);
  const char* const captions[] = {"7 Seg Check", "LED Check", "Buzzer Check"};
  const char* const steps[] = {"0.3", "2", "2"};
  for (int i = 0; i < 3; ++i) {
    g->addWidget(Named(new QPushButton(QLatin1String(captions[i]), frame), QStringLiteral("CmdRWDevTst"), i), i + 1, 0);
    auto* e = Named(new QLineEdit(QLatin1String(steps[i]), frame), QStringLiteral("TxtRWDevTstTimer"), i);
    e->setMaximumWidth(50);
    g->addWidget(e, i + 1, 1);
    g->addWidget(Label(frame, QStringLiteral("lbRWDevTst"), i, QStringLiteral("s")), i + 1, 2);
  }
  // The display: unlit "8.8." under the lit segments.
  auto* display = Shape(frame, QStringLiteral("Shape7Seg"), -1, 90, 50);
  auto* stack = new QGridLayout(display);
  QFont digits = display->font();
  digits.setPixelSize(24);
  auto* back = Label(display, QStringLiteral("Lb7SegBackG"), -1, QStringLiteral("8.8."));
  back->setFont(digits);
  PaintForeColor(back, 0x000040);  // dark red
  auto* lit = Label(display, QStringLiteral("Lb7Seg"), -1, QString());
  lit->setFont(digits);
  PaintForeColor(lit, 0x0000FF);  // red
  stack->addWidget(back, 0, 0);
  stack->addWidget(lit, 0, 0);
  g->addWidget(display, 1, 3, 2, 1);
  auto* leds = new QHBoxLayout;
  for (int i = 0; i < 3; ++i) leds->addWidget(Shape(frame, QStringLiteral("ShpLED"), i, 20, 20));
  g->addLayout(leds, 3, 3);
  auto* volume = Label(frame, QStringLiteral("PicVolume"), -1, QString());
  volume->setFixedSize(36, 36);  // the speaker pictures are 32 x 32
  volume->setAlignment(Qt::AlignCenter);
  g->addWidget(volume, 4, 3);
  return frame;
}

QWidget* DipFrame(QWidget* page) {
  auto* frame = Named(new QGroupBox(page), QStringLiteral("FrameDSW"));
  auto* g = new QGridLayout(frame);
  g->addWidget(Label(frame, QStringLiteral("TxtDSWFrameLabel"), -1, QStringLiteral("DSW Test")), 0, 0, 1, 9);
  const char* const captions[] = {"DSW 1", "DSW 2", "ON", "OFF", "１ ２ ３ ４ ５ ６ ７ ８", "１ ２ ３ ４ ５ ６ ７ ８"};
  for (int i = 0; i < 6; ++i) Label(frame, QStringLiteral("LbDSW"), i, QString::fromUtf8(captions[i]));
  for (int b = 1; b <= 2; ++b) {
    const int row = 1 + (b - 1) * 4;
    g->addWidget(frame->findChild<QLabel*>(ControlKey(QStringLiteral("LbDSW"), b - 1)), row, 0);
    auto* bank = Shape(frame, QStringLiteral("SpDSW"), b, 8 * 16, 44);
    auto* bg = new QGridLayout(bank);
    bg->setSpacing(2);
    bg->setContentsMargins(2, 2, 2, 2);
    for (int i = 1; i <= 8; ++i) {
      bg->addWidget(Shape(bank, QStringLiteral("SpDSW%1On").arg(b), i, 12, 18), 0, i - 1);
      bg->addWidget(Shape(bank, QStringLiteral("SpDSW%1Off").arg(b), i, 12, 18), 1, i - 1);
    }
    g->addWidget(bank, row + 1, 1, 1, 8);
    g->addWidget(Shape(frame, QStringLiteral("LineDSW"), b, 8 * 16, 2), row + 2, 1, 1, 8);
    g->addWidget(frame->findChild<QLabel*>(ControlKey(QStringLiteral("LbDSW"), 4 + b - 1)), row + 3, 1, 1, 8);
  }
  g->addWidget(frame->findChild<QLabel*>(ControlKey(QStringLiteral("LbDSW"), 2)), 2, 0);
  g->addWidget(frame->findChild<QLabel*>(ControlKey(QStringLiteral("LbDSW"), 3)), 3, 0);
  g->addWidget(Named(new QPushButton(DipSwitchTest::kStart, frame), QStringLiteral("CmdDSWTest")), 9, 0, 1, 4);
  g->addWidget(Label(frame, QStringLiteral("lbDSWTestOKNG"), -1, QString()), 9, 4, 1, 4);
  return frame;
}

}  // namespace

QWidget* BuildPanelTabPage() {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(DipFrame(page));
  layout->addWidget(PanelFrame(page));
  return page;
}

void ShowVolumePicture(WidgetControls& ui, const QString& file) {
  auto* box = ui.Get<QLabel>(QStringLiteral("PicVolume"));
  if (!box) return;
  const QPixmap picture(JoinPath(ProgramDir(), file));
  if (picture.isNull()) box->clear();
  else box->setPixmap(picture);
}

void InstallPanelTab(QObject* owner, WidgetControls& ui, JobHost& host, BenchJobState& state) {
  // The tests live in a child of the owner, so they go with the window.
  struct Holder : QObject {
    Holder(QObject* parent, FormControls& ui, JobHost& host, BenchJobState& state)
        : QObject(parent), panel(ui, host, state), dip(ui, host, state) {}
    // The DIP-switch test watches only its own stop: closing the window is one.
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (watched == parent() && event->type() == QEvent::Close) dip.Stop();
      return QObject::eventFilter(watched, event);
    }
    PanelTest panel;
    DipSwitchTest dip;
  };
  auto* holder = new Holder(owner, ui, host, state);
  owner->installEventFilter(holder);
  holder->panel.SetPictureHook([&ui](const QString& file) { ShowVolumePicture(ui, file); });
  UnlockDipFrame(ui);  // every switch OFF and untested
  for (int i = 0; i < 3; ++i)
    if (auto* b = ui.Get<QPushButton>(QStringLiteral("CmdRWDevTst"), i))
      QObject::connect(b, &QPushButton::clicked, holder, [holder, i] { holder->panel.Click(i); });
  if (auto* b = ui.Get<QPushButton>(QStringLiteral("CmdDSWTest")))
    QObject::connect(b, &QPushButton::clicked, holder, [holder] { holder->dip.Click(); });
}

}  // namespace quorel
