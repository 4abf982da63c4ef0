#include "eeprom/eep_report_wiring.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QPlainTextEdit>

#include "core/cp932_codec.h"
#include "core/form_controls.h"
#include "core/link_api.h"
#include "eeprom/customer_message_peers.h"
#include "eeprom/eep_frame.h"
#include "eeprom/form_eep_save_msg.h"

namespace quorel::eep {

namespace {

// crwGetComDevInfo of the library in use; its result is not examined: a
// port without a device leaves the four texts empty.
DriverInfo LibraryDriverInfo(int port) {
  QByteArray texts[4];
  Link().GetComDevInfo(port, &texts[0], &texts[1], &texts[2], &texts[3]);
  return DriverInfo{cp932::Decode(texts[0]), cp932::Decode(texts[1]), cp932::Decode(texts[2]),
                    cp932::Decode(texts[3])};
}

}  // namespace

ReportAndMessageWiring::ReportAndMessageWiring(QWidget* window, WidgetControls& controls, EepFrame& frame,
                                               std::function<DriverInfo(int)> driverInfo)
    : QObject(window),
      window_(window),
      controls_(controls),
      report_(frame, DeviceReport::Hooks{&FormEEPSaveMsg::Ask,
                                         driverInfo ? std::move(driverInfo) : &LibraryDriverInfo}),
      panel_(controls, frame.jobs(),
             EepWindowSide([&frame](EepJob& job) { return frame.CheckFamily(job, Family::kMivor); })) {
  if (auto* b = controls.Get<QAbstractButton>(QStringLiteral("EEPSave_Mivor")))
    connect(b, &QAbstractButton::clicked, this, [this] { report_.Run(Family::kMivor); });
  for (int i = 0; i < 3; ++i)
    if (auto* b = controls.Get<QAbstractButton>(QStringLiteral("EEPSave_Dastel"), i))
      connect(b, &QAbstractButton::clicked, this, [this, i] { report_.Run(FamilyOfSharedIndex(i)); });

  panel_.SetPeer([] { return MessagePeers::VisibleMessage(); });
  panel_.SetPeerAfterRead([] { return MessagePeers::LoadedMessage(); });
  panel_.SetEditableHook([this](bool editor) {
    if (auto* box = controls_.Get<QPlainTextEdit>(QStringLiteral("TxtCSMsg"))) box->setReadOnly(!editor);
  });
  if (auto* mode = controls.Get<QAbstractButton>(QStringLiteral("ChkCSMsg")))
    connect(mode, &QAbstractButton::toggled, this, [this] { panel_.ModeClick(); });
  if (auto* write = controls.Get<QAbstractButton>(QStringLiteral("CmdCSMsgW")))
    connect(write, &QAbstractButton::clicked, this, [this] { panel_.WriteOrRead(); });
  if (auto* text = controls.Get<QPlainTextEdit>(QStringLiteral("TxtCSMsg"))) {
    connect(text, &QPlainTextEdit::textChanged, this, [this] { panel_.TextChange(); });
    text->installEventFilter(this);
  }
  // After a Mivor all-rows read the message box shows what rows 9 to 11
  // now hold, decoded as the message read decodes them. The read empties
  // the box when it runs; a read that never ran (model question cancelled,
  // write mode) leaves the box as the user had it.
  auto allRows = frame.handlers().allRows;
  frame.handlers().allRows = [this, allRows](Family f) {
    if (allRows) allRows(f);
    if (f != Family::kMivor || controls_.Value(QStringLiteral("OpEEPAllRdWr_Mivor"), 0) != 1 ||
        !controls_.Text(QStringLiteral("TxtCSMsg")).isEmpty())
      return;
    const QString text = CustomerMessagePanel::DecodeRowBoxes(controls_);
    controls_.SetText(QStringLiteral("TxtCSMsg"), -1, text);
    if (FormControls* msg = MessagePeers::VisibleMessage()) msg->SetText(QStringLiteral("TxtCSMsg"), -1, text);
  };
  panel_.OpenInViewerMode();
  MessagePeers::SetEepWindow(window, &controls);
}

ReportAndMessageWiring::~ReportAndMessageWiring() { MessagePeers::Withdraw(window_); }

bool ReportAndMessageWiring::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    // Only the user's own move out of the box: not a popup (the warning box
    // itself), not a switch to another window, not a hidden window.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (window_->isVisible() && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
      panel_.LostFocus();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quorel::eep
