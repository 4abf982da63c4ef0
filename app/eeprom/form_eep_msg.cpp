#include "eeprom/form_eep_msg.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/main_module.h"
#include "core/main_shell.h"
#include "core/window_registry.h"
#include "eeprom/customer_message_peers.h"
#include "eeprom/eep_channel.h"
#include "eeprom/eep_rows.h"
#include "eeprom/eep_widgets.h"

namespace quorel::eep {

namespace {
const char* const kRowProperty = "quorelRow";
}

FormEEPMsg::FormEEPMsg(std::unique_ptr<EepChannel> channel, QWidget* parent)
    : QWidget(parent), channel_(std::move(channel)), jobs_(*channel_), panel_(controls_, jobs_, MessageWindowSide()) {
  setObjectName(QStringLiteral("FormEEPMsg"));
  setWindowTitle(QStringLiteral("EEPMessage"));
  Build();
  controls_.AddTree(this);
  jobs_.SetBusyDisplay([this](bool busy) { setEnabled(!busy); });
  panel_.SetPeer([] { return MessagePeers::VisibleEep(); });
  panel_.SetEditableHook([this](bool editor) {
    if (auto* box = controls_.Get<QPlainTextEdit>(QStringLiteral("TxtCSMsg"))) box->setReadOnly(!editor);
  });
  Load();
  MessagePeers::SetMessageWindow(this, &controls_);
}

FormEEPMsg::~FormEEPMsg() {
  jobs_.RequestEnd();
  MessagePeers::Withdraw(this);
}

std::function<QWidget*()> FormEEPMsg::Factory(WindowRegistry& registry, DeviceChannel& channel) {
  MessagePeers::SetMessageLoader([&registry] { return registry.Load(QStringLiteral("FormEEPMsg")); });
  return [&channel] { return new FormEEPMsg(std::make_unique<ChannelForwarders>(channel)); };
}

void FormEEPMsg::Build() {
  auto* top = new QVBoxLayout(this);
  auto* message = new QGroupBox(this);
  message->setObjectName(QStringLiteral("FrameCSMsg_0"));
  message->setToolTip(QStringLiteral("最大全角64文字(可変長)のﾒｯｾｰｼﾞを格納することができます。"));
  auto* m = new QGridLayout(message);
  m->addWidget(MakeCheck(message, QStringLiteral("ChkCSMsg"), -1, QStringLiteral("Service Message Viewer"),
                         QStringLiteral("ﾁｪｯｸするとEdit modeになります。")),
               0, 0);
  m->addWidget(MakeCheck(message, QStringLiteral("ChkAdminiMode"), -1, QStringLiteral("Administrator Mode"),
                         QStringLiteral("チェックすると次回からパスワードを聞いてこない。")),
               0, 1);
  auto* text = NamedWidget<QPlainTextEdit>(message, QStringLiteral("TxtCSMsg"));
  text->setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック")));
  text->setFixedHeight(60);
  m->addWidget(text, 1, 0, 1, 3);
  auto* count = MakeDisplay(message, QStringLiteral("LbCSMsg"));
  count->setMinimumWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("192byte [100.0%] [max192byte]")) + 8);
  m->addWidget(count, 2, 0);
  m->addWidget(MakeButton(message, QStringLiteral("CmdCSMsgW"), -1, QStringLiteral("Read")), 2, 1);
  m->addWidget(MakeButton(message, QStringLiteral("CmdCSMsgClear"), -1, QStringLiteral("Clear")), 2, 2);
  top->addWidget(message);

  auto* rows = new QGroupBox(QStringLiteral("EEPROM Address Viewer"), this);
  rows->setObjectName(QStringLiteral("FrameCSMsg_1"));
  auto* r = new QGridLayout(rows);
  for (int row = kFirstMessageRow; row <= kLastMessageRow; ++row) {
    auto* button = MakeButton(rows, QStringLiteral("CmdEEPAd_Mivor"), row, RowCaption(row));
    button->setProperty(kRowProperty, row);
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, row] { panel_.RowRead(row); });
    auto* box = NamedWidget<QLineEdit>(rows, QStringLiteral("TxtEEPALL_Mivor"), row);
    box->setMinimumWidth(64 * 7);
    r->addWidget(button, row - kFirstMessageRow, 0);
    r->addWidget(box, row - kFirstMessageRow, 1);
  }
  top->addWidget(rows);

  auto* mode = qobject_cast<QCheckBox*>(message->findChild<QCheckBox*>(QStringLiteral("ChkCSMsg")));
  connect(mode, &QCheckBox::toggled, this, [this] { panel_.ModeClick(); });
  auto* admin = message->findChild<QCheckBox*>(QStringLiteral("ChkAdminiMode"));
  connect(admin, &QCheckBox::toggled, this, [this] { AdminModeClick(controls_); });
  connect(text, &QPlainTextEdit::textChanged, this, [this] { panel_.TextChange(); });
  text->installEventFilter(this);
  connect(message->findChild<QPushButton*>(QStringLiteral("CmdCSMsgW")), &QPushButton::clicked, this,
          [this] { panel_.WriteOrRead(); });
  connect(message->findChild<QPushButton*>(QStringLiteral("CmdCSMsgClear")), &QPushButton::clicked, this,
          [this] { panel_.Clear(); });
}

void FormEEPMsg::Load() {
  controls_.SetText(QStringLiteral("TxtCSMsg"), QString());
  controls_.SetText(QStringLiteral("LbCSMsg"), QString());
  for (int row = kFirstMessageRow; row <= kLastMessageRow; ++row) {
    controls_.SetText(QStringLiteral("TxtEEPALL_Mivor"), row, QString());
    controls_.SetToolTip(QStringLiteral("CmdEEPAd_Mivor"), row,
                         QStringLiteral("EEPROM 0x") + RowDigit(row) + QStringLiteral("0～0x") + RowDigit(row) +
                             QStringLiteral("Fを読み込みます。"));
  }
  panel_.OpenInViewerMode();
  if (mm().gAdminMode == 1) controls_.SetValue(QStringLiteral("ChkAdminiMode"), 1);
}

bool FormEEPMsg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    const QVariant row = watched->property(kRowProperty);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (row.isValid() && mouse->button() == Qt::RightButton) panel_.RowWrite(row.toInt());
  } else if (event->type() == QEvent::FocusOut && watched->objectName() == QLatin1String("TxtCSMsg")) {
    // Only the user's own move out of the box counts: not a popup (the
    // warning box itself), not a switch to another window, not closing.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (!closing_ && isVisible() && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
      panel_.LostFocus();
  }
  return QWidget::eventFilter(watched, event);
}

void FormEEPMsg::closeEvent(QCloseEvent* event) {
  closing_ = true;
  QWidget::closeEvent(event);
  closing_ = false;
}

}  // namespace quorel::eep
