#include "eeprom/form_memory_sw.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include "core/text_room.h"
#include "eeprom/eep_channel.h"

namespace quorel::eep {
namespace {

// Positions are the designed ones in twips (15 a pixel).
QRect Twips(int left, int top, int width, int height) { return {left / 15, top / 15, width / 15, height / 15}; }

struct SwitchBox {
  int index;
  const char* caption;
  int left, top;
};
// Boxes 4, 6, 7 and 8 lie below the client area: never seen, still written.
constexpr SwitchBox kBoxes[] = {
    {1, "簡易リセット", 240, 90},
    {2, "RS-232CのRSｺﾏﾝﾄﾞはﾊｰﾄﾞﾘｾｯﾄ", 240, 420},
    {3, "印字後、後方待機", 240, 750},
    {5, "磁気フォーマット選択（M)max5まで許可", 240, 1080},
    {4, "Dummy(4)", 150, 3570},
    {6, "Dummy(6)", 150, 3900},
    {7, "Dummy(7)", 120, 4260},
    {8, "Dummy(7)", 90, 4590},
};

}  // namespace

FormMemorySW::FormMemorySW(DeviceChannel& channel, std::function<void()> labelInit, QWidget* parent)
    : QDialog(parent),
      channel_(std::make_unique<ChannelForwarders>(channel)),
      jobs_(*channel_),
      job_(controls_, jobs_, std::move(labelInit)) {
  setObjectName(QStringLiteral("FormMemorySW"));
  setWindowTitle(QStringLiteral("Memory Switch"));
  Build();
  controls_.AddTree(this);
}

FormMemorySW::~FormMemorySW() = default;

void FormMemorySW::Build() {
  const QSize designed(3900 / 15, 2685 / 15);
  for (const SwitchBox& b : kBoxes) {
    auto* box = new QCheckBox(QString::fromUtf8(b.caption), this);
    box->setObjectName(ControlKey(QStringLiteral("ChkMemorySW"), b.index));
    PlaceFitted(box, Twips(b.left, b.top, 3405, 285));
    // Below the client area: never seen, so not shown at all.
    if (box->y() >= designed.height()) box->hide();
  }
  // Outside administrator mode these two only show what was read.
  for (int i : {2, 5}) findChild<QCheckBox*>(ControlKey(QStringLiteral("ChkMemorySW"), i))->setEnabled(false);
  const char* const captions[] = {"Get Status", "Write"};
  for (int i = 0; i < 2; ++i) {
    auto* b = new QPushButton(QString::fromLatin1(captions[i]), this);
    b->setObjectName(ControlKey(QStringLiteral("CmdMSWEEP"), i));
    PlaceFitted(b, Twips(i == 0 ? 180 : 2010, 1620, 1665, 585));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, i] { job_.Click(i); });
  }
  // As wide as the longest caption needs; the status bar spans the bottom.
  const QSize size = RoomForChildren(this, designed);
  setFixedSize(size);
  auto* status = new QLabel(this);
  status->setObjectName(QStringLiteral("StatusBarMemorySW"));
  status->setFrameShape(QFrame::Panel);
  status->setFrameShadow(QFrame::Sunken);
  const QRect bar = Twips(0, 2370, 3900, 315);
  status->setGeometry(0, bar.y() + size.height() - designed.height(), size.width(), bar.height());
}

void FormMemorySW::Load() {
  if (loaded_) return;
  loaded_ = true;
  job_.Load();
}

void FormMemorySW::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect a = s->geometry();
    move(a.x() + (a.width() - width()) / 2, a.y() + (a.height() - height()) / 2);
  }
  // The question comes once the window stands on the screen.
  if (!loaded_) QTimer::singleShot(0, this, [this] { Load(); });
}

}  // namespace quorel::eep
