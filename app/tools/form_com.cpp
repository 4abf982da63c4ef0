#include "tools/form_com.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/colour_values.h"
#include "core/cp932_codec.h"
#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/link_api.h"
#include "core/main_module.h"
#include "core/main_shell.h"
#include "core/settings_file.h"

namespace quorel {
namespace {

const char* const kDevPrefixes[4] = {"Desc     : ", "Provider : ", "Date     : ", "Version  : "};

const char* const kEventCaptions[9] = {"RX Char Receive",  "TX Empty Last Send", "Flaming Error",
                                       "Over Run Error",   "Parity Error",       "CTS Line Change",
                                       "DSR Line Change",  "RLSD Line Change",   "BREAK Signal"};

const QString kRestartText = QStringLiteral(
    "LOG設定の設定が変更になっており、一度エミュレーターを再起動させる必要があります。\r\n"
    "終了させる場合は[はい]を、しない場合は[いいえ]をクリックして下さい");

// Light green while the list shows the present ports.
constexpr uint32_t kPresentPortsColor = 0x80FF80;

void FillCombo(QComboBox* combo, const ItemList& items) {
  const QSignalBlocker block(combo);
  combo->clear();
  for (const ListItem& item : items) combo->addItem(item.text, item.data);
}

// The first item whose data is `data`, else `fallback`.
void SelectData(QComboBox* combo, int data, int fallback) {
  const int at = combo->findData(data);
  combo->setCurrentIndex(at >= 0 ? at : fallback);
}

QLabel* Caption(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

}  // namespace

FormCOM::FormCOM(LinkApi& link, std::function<void()> saved, QWidget* parent)
    : QDialog(parent), link_(link), saved_(std::move(saved)) {
  setObjectName(QStringLiteral("FormCOM"));
  setWindowTitle(QStringLiteral("通信設定"));
  setAttribute(Qt::WA_DeleteOnClose);
  BuildControls();
  Load();
}

void FormCOM::BuildControls() {
  auto* root = new QVBoxLayout(this);

  // Port
  auto* portGroup = new QGroupBox(QStringLiteral("Port"), this);
  auto* pg = new QGridLayout(portGroup);
  port_ = new QComboBox(portGroup);
  port_->setObjectName(QStringLiteral("CmbPort"));
  getPort_ = new QRadioButton(QStringLiteral("GetPort"), portGroup);
  getPort_->setObjectName(QStringLiteral("OpGetPort_0"));
  getPort_->setToolTip(QStringLiteral("利用可能なポートだけ取得できます。"));
  getPort_->setChecked(true);
  manualPort_ = new QRadioButton(QStringLiteral("ManualPort"), portGroup);
  manualPort_->setObjectName(QStringLiteral("OpGetPort_1"));
  manualPort_->setToolTip(QStringLiteral("1～256ポートまで表示します。"));
  portNames_ = new QLabel(QStringLiteral("COMxx,COMxx,COMxx"), portGroup);
  portNames_->setObjectName(QStringLiteral("LbGetPort"));
  refresh_ = new QPushButton(QStringLiteral("Get COM Port Refresh"), portGroup);
  refresh_->setObjectName(QStringLiteral("CmdComRefresh"));
  baud_ = new QComboBox(portGroup);
  baud_->setObjectName(QStringLiteral("Cmbbps"));
  FillCombo(baud_, BaudItems());
  parity_ = new QComboBox(portGroup);
  parity_->setObjectName(QStringLiteral("CmbParity"));
  FillCombo(parity_, ParityItems());
  dataBits_ = new QComboBox(portGroup);
  dataBits_->setObjectName(QStringLiteral("CmbDatabit"));
  FillCombo(dataBits_, DataBitItems());
  cts_ = new QCheckBox(QStringLiteral("CTS"), portGroup);
  cts_->setObjectName(QStringLiteral("ChkCTS"));
  dsr_ = new QCheckBox(QStringLiteral("DSR"), portGroup);
  dsr_->setObjectName(QStringLiteral("ChkDSR"));
  pg->addWidget(Caption(QStringLiteral("Port"), portGroup), 0, 0);
  pg->addWidget(port_, 0, 1);
  pg->addWidget(getPort_, 0, 2);
  pg->addWidget(manualPort_, 0, 3);
  pg->addWidget(portNames_, 1, 0, 1, 3);
  pg->addWidget(refresh_, 1, 3);
  pg->addWidget(Caption(QStringLiteral("BaudRate"), portGroup), 2, 0);
  pg->addWidget(baud_, 2, 1);
  pg->addWidget(Caption(QStringLiteral("bps"), portGroup), 2, 2);
  pg->addWidget(Caption(QStringLiteral("Data Bits"), portGroup), 3, 0);
  pg->addWidget(dataBits_, 3, 1);
  pg->addWidget(cts_, 3, 2);
  pg->addWidget(dsr_, 3, 3);
  pg->addWidget(Caption(QStringLiteral("Parity Check"), portGroup), 4, 0);
  pg->addWidget(parity_, 4, 1);
  root->addWidget(portGroup);

  // The number boxes.
  for (int b = 0; b < kNumberBoxes; ++b) {
    numbers_[b] = new QLineEdit(this);
    numbers_[b]->setObjectName(QLatin1String(RuleOf(static_cast<NumberBox>(b)).control));
  }
  Box(NumberBox::kNakRetry)->setToolTip(QStringLiteral("NAK受信時のリトライ回数(-1：無限)"));

  auto* timing = new QHBoxLayout;
  auto* ackGroup = new QGroupBox(QStringLiteral("ACK / NAK"), this);
  auto* ag = new QGridLayout(ackGroup);
  ackNakMsgBox_ = new QCheckBox(QStringLiteral("ACK/NAK TimeOut MsgBox"), ackGroup);
  ackNakMsgBox_->setObjectName(QStringLiteral("ChkAckNakTimeOutMsgBox"));
  ackNakRetryLabel_ = Caption(QStringLiteral("ACK/NAK TimeOut Retry"), ackGroup);
  ackNakRetryLabel_->setObjectName(QStringLiteral("LbAckNakTimeOutRetry"));
  ag->addWidget(Caption(QStringLiteral("Timer"), ackGroup), 0, 0);
  ag->addWidget(Box(NumberBox::kAckTimer), 0, 1);
  ag->addWidget(Caption(QStringLiteral("NAK Retry"), ackGroup), 1, 0);
  ag->addWidget(Box(NumberBox::kNakRetry), 1, 1);
  ag->addWidget(ackNakMsgBox_, 2, 0, 1, 2);
  ag->addWidget(ackNakRetryLabel_, 3, 0);
  ag->addWidget(Box(NumberBox::kAckNakTimeoutRetry), 3, 1);
  ag->addWidget(Caption(QStringLiteral("Retry Wait Timer :"), ackGroup), 4, 0);
  ag->addWidget(Box(NumberBox::kAckRetryWait), 4, 1);
  timing->addWidget(ackGroup);

  auto* respGroup = new QGroupBox(QStringLiteral("Response"), this);
  auto* rg = new QGridLayout(respGroup);
  respMsgBox_ = new QCheckBox(QStringLiteral("Response TimeOut MsgBox"), respGroup);
  respMsgBox_->setObjectName(QStringLiteral("ChkRespTimeOutMsgBox"));
  respRetryLabel_ = Caption(QStringLiteral("Response TimeOut Retry"), respGroup);
  respRetryLabel_->setObjectName(QStringLiteral("LbRespTimeOutRetry"));
  rg->addWidget(Caption(QStringLiteral("Timer"), respGroup), 0, 0);
  rg->addWidget(Box(NumberBox::kRespTimer), 0, 1);
  rg->addWidget(respMsgBox_, 1, 0, 1, 2);
  rg->addWidget(respRetryLabel_, 2, 0);
  rg->addWidget(Box(NumberBox::kRespTimeoutRetry), 2, 1);
  rg->addWidget(Caption(QStringLiteral("Retry Wait Timer :"), respGroup), 3, 0);
  rg->addWidget(Box(NumberBox::kRespRetryWait), 3, 1);
  timing->addWidget(respGroup);
  root->addLayout(timing);

  // Line events, log mode and folder.
  auto* eventGroup = new QGroupBox(QStringLiteral("Event"), this);
  auto* eg = new QGridLayout(eventGroup);
  for (int i = 0; i < 9; ++i) {
    events_[i] = new QCheckBox(QLatin1String(kEventCaptions[i]), eventGroup);
    events_[i]->setObjectName(QStringLiteral("cepCheck_%1").arg(i));
    eg->addWidget(events_[i], i / 3, i % 3);
  }
  logModeBox_ = new QComboBox(eventGroup);
  logModeBox_->setObjectName(QStringLiteral("CmbVantorLog"));
  FillCombo(logModeBox_, LogModeItems());
  logFolder_ = new QLineEdit(eventGroup);
  logFolder_->setObjectName(QStringLiteral("JPathText"));
  logFolder_->setToolTip(QStringLiteral("通信ログファイルを出力するパスです。"));
  browse_ = new QPushButton(QStringLiteral("..."), eventGroup);
  browse_->setObjectName(QStringLiteral("FoluderSansyou"));
  eg->addWidget(logModeBox_, 3, 0, 1, 3);
  eg->addWidget(logFolder_, 4, 0, 1, 2);
  eg->addWidget(browse_, 4, 2);
  root->addWidget(eventGroup);

  auto* bottom = new QHBoxLayout;
  auto* infoGroup = new QGroupBox(QStringLiteral("COM Device Information"), this);
  auto* ig = new QVBoxLayout(infoGroup);
  for (int i = 0; i < 4; ++i) {
    devInfo_[i] = new QLabel(infoGroup);
    devInfo_[i]->setObjectName(QStringLiteral("LbcrwGetComDevInfo_%1").arg(i));
    ig->addWidget(devInfo_[i]);
  }
  deviceManager_ = new QPushButton(QStringLiteral("Device Manager"), infoGroup);
  deviceManager_->setObjectName(QStringLiteral("DeviceManager"));
  deviceManager_->setToolTip(QStringLiteral("デバイスマネージャー"));
  ig->addWidget(deviceManager_);
  bottom->addWidget(infoGroup, 2);

  auto* side = new QVBoxLayout;
  auto* initGroup = new QGroupBox(QStringLiteral("Setting Initialize"), this);
  auto* ng = new QVBoxLayout(initGroup);
  release_ = new QCheckBox(QStringLiteral("Release"), initGroup);
  release_->setObjectName(QStringLiteral("ChkInitialize"));
  release_->setToolTip(QStringLiteral("チェックすると初期化ボタンが有効になります。"));
  initialize_ = new QPushButton(QStringLiteral("Initialize Execution"), initGroup);
  initialize_->setObjectName(QStringLiteral("CmdInitialize"));
  initialize_->setEnabled(false);
  ng->addWidget(release_);
  ng->addWidget(initialize_);
  side->addWidget(initGroup);
  save_ = new QPushButton(QStringLiteral("COM Port Registrar"), this);
  save_->setObjectName(QStringLiteral("CmdCOMConfigSave"));
  save_->setToolTip(QStringLiteral("通信設定情報を保存し有効にします。"));
  side->addWidget(save_);
  bottom->addLayout(side, 1);
  root->addLayout(bottom);

  // Enter in a box presses no button: saving is the user's explicit choice.
  for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);

  connect(port_, &QComboBox::currentIndexChanged, this, [this] { CmbPort_Click(); });
  connect(getPort_, &QRadioButton::clicked, this, &FormCOM::OpGetPort_Click);
  connect(manualPort_, &QRadioButton::clicked, this, &FormCOM::OpGetPort_Click);
  connect(refresh_, &QPushButton::clicked, this, &FormCOM::CmdComRefresh_Click);
  connect(logModeBox_, &QComboBox::currentIndexChanged, this, [this] { CmbVantorLog_Click(); });
  connect(ackNakMsgBox_, &QCheckBox::toggled, this,
          [this] { MsgBoxSwitchChanged(ackNakMsgBox_, Box(NumberBox::kAckNakTimeoutRetry), ackNakRetryLabel_); });
  connect(respMsgBox_, &QCheckBox::toggled, this,
          [this] { MsgBoxSwitchChanged(respMsgBox_, Box(NumberBox::kRespTimeoutRetry), respRetryLabel_); });
  connect(release_, &QCheckBox::toggled, initialize_, &QPushButton::setEnabled);
  connect(browse_, &QPushButton::clicked, this, &FormCOM::FoluderSansyou_Click);
  connect(deviceManager_, &QPushButton::clicked, this, &FormCOM::DeviceManager_Click);
  connect(save_, &QPushButton::clicked, this, &FormCOM::CmdCOMConfigSave_Click);
  connect(initialize_, &QPushButton::clicked, this, &FormCOM::CmdInitialize_Click);
  // The tool tip of a number box shows its text.
  for (NumberBox b : {NumberBox::kAckTimer, NumberBox::kNakRetry, NumberBox::kAckRetryWait, NumberBox::kRespTimer,
                      NumberBox::kRespRetryWait}) {
    QLineEdit* box = Box(b);
    connect(box, &QLineEdit::textChanged, box, &QLineEdit::setToolTip);
  }
  for (NumberBox b : {NumberBox::kAckTimer, NumberBox::kAckRetryWait, NumberBox::kRespTimer, NumberBox::kRespRetryWait})
    Box(b)->installEventFilter(this);
}

void FormCOM::Load() {
  const MainModule& m = mm();
  portNames_->clear();
  for (int i = 0; i < 4; ++i) devInfo_[i]->setText(QLatin1String(kDevPrefixes[i]));

  FillPorts(InitialPortItems());
  SelectStoredPort();
  SelectData(baud_, m.gBoud, 4);
  // An unknown letter shows the default parity, even.
  parity_->setCurrentIndex(m.gParity == QLatin1String("N") ? 0 : m.gParity == QLatin1String("O") ? 1 : 2);
  SelectData(dataBits_, m.gDataBit, 0);
  cts_->setChecked(m.gUseCTS == 1);
  dsr_->setChecked(m.gUseDSR == 1);

  SetBoxText(Box(NumberBox::kRespTimer), QString::number(m.gRespTimer));
  SetBoxText(Box(NumberBox::kAckTimer), QString::number(m.gAckTimer));
  SetBoxText(Box(NumberBox::kNakRetry), QString::number(m.gNakRetry));
  SetBoxText(Box(NumberBox::kAckNakTimeoutRetry), QString::number(m.gAckNakTimeoutRetry));
  SetBoxText(Box(NumberBox::kRespTimeoutRetry), QString::number(m.gRespTimeoutRetry));
  SetBoxText(Box(NumberBox::kAckRetryWait), QString::number(m.gAckRetryWaitTimer));
  SetBoxText(Box(NumberBox::kRespRetryWait), QString::number(m.gResRetryWaitTimer));
  ackNakMsgBox_->setChecked(m.gAckNakTimeoutMsgFlag == 1);
  respMsgBox_->setChecked(m.gRespTimeoutMsgFlag == 1);
  MsgBoxSwitchChanged(ackNakMsgBox_, Box(NumberBox::kAckNakTimeoutRetry), ackNakRetryLabel_);
  MsgBoxSwitchChanged(respMsgBox_, Box(NumberBox::kRespTimeoutRetry), respRetryLabel_);
  for (int i = 0; i < 9; ++i) events_[i]->setChecked(m.gEvtFlags[static_cast<size_t>(i)] == 1);

  SetBoxText(logFolder_, m.gLogOutPath);
  logFolder_->setToolTip(m.gLogOutPath);

  // The stored mode, or "-1" when it names none (written back at once).
  const QString stored = ReadIni(QStringLiteral("Log"), QStringLiteral("Logging"), m.gDllIniPath).trimmed();
  int index = 0;
  for (int i = 0; i < logModeBox_->count(); ++i)
    if (QString::number(logModeBox_->itemData(i).toInt()) == stored) index = i;
  {
    const QSignalBlocker block(logModeBox_);
    logModeBox_->setCurrentIndex(index);
  }
  CmbVantorLog_Click();

  OpGetPort_Click();

  const int w = 8040 / kTwipsPerPixel;
  const int h = 7755 / kTwipsPerPixel;
  resize(w, h);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
  }
  bClosing_ = 0;
  bSaved_ = 0;
}

void FormCOM::FillPorts(const ItemList& items) {
  ports_ = items;
  FillCombo(port_, ports_);
}

void FormCOM::SelectPort(int index) {
  {
    const QSignalBlocker block(port_);
    port_->setCurrentIndex(index);
  }
  CmbPort_Click();
}

void FormCOM::SelectStoredPort() {
  // A stored port the list lacks is added rather than replaced by the first.
  const int before = static_cast<int>(ports_.size());
  const int at = EnsurePortItem(ports_, mm().gPort);
  if (static_cast<int>(ports_.size()) != before) FillPorts(ports_);
  SelectPort(at >= 0 ? at : 0);
}

void FormCOM::CmbPort_Click() {
  const int n = PortNumberOf(port_->currentText());
  QByteArray texts[4];
  link_.GetComDevInfo(n, &texts[0], &texts[1], &texts[2], &texts[3]);
  for (int i = 0; i < 4; ++i) {
    QString text = QLatin1String(kDevPrefixes[i]) + cp932::Decode(texts[i]);
    if (i == 0) text += QStringLiteral("(COM%1)").arg(n);
    devInfo_[i]->setText(text);
    devInfo_[i]->setToolTip(text);
  }
  port_->setToolTip(port_->currentText());
}

void FormCOM::RefreshPortList() {
  PaintBackColor(port_, kPresentPortsColor);
  // Shows the colour before the enumeration, which may take a moment.
  if (isVisible()) PumpPendingEvents();
  QByteArray names;
  int16_t count = 0;
  const int32_t result = link_.GetPortNames(&names, &count);
  const QString text = cp932::Decode(names);
  portNames_->setText(text);
  portNames_->setToolTip(text);
  const ItemList items = ParsePortNames(text, result, count);
  if (!items.empty()) FillPorts(items);
  SelectPort(0);
}

void FormCOM::OpGetPort_Click() {
  if (getPort_->isChecked()) {
    RefreshPortList();
    SelectStoredPort();
    return;
  }
  FillPorts(ManualPortItems());
  // The stored port stays chosen: switching the list is no choice of port.
  SelectStoredPort();
  PaintBackColor(port_, kWindowBackground);
}

void FormCOM::CmdComRefresh_Click() {
  if (!getPort_->isChecked()) {
    getPort_->setChecked(true);
    OpGetPort_Click();
  }
  RefreshPortList();
}

void FormCOM::CmbVantorLog_Click() {
  logMode_ = logModeBox_->currentData().toInt();
  WriteIni(QStringLiteral("Log"), QStringLiteral("Logging"), QString::number(logMode_), mm().gDllIniPath);
  ApplyLogFolderRule();
}

void FormCOM::ApplyLogFolderRule() {
  const bool editable = LogFolderEditable(logMode_);
  logFolder_->setEnabled(editable);
  browse_->setEnabled(editable);
}

void FormCOM::MsgBoxSwitchChanged(QCheckBox* box, QLineEdit* retry, QLabel* label) {
  // With the box shown the user decides; the retry count does not apply.
  retry->setEnabled(!box->isChecked());
  label->setEnabled(!box->isChecked());
}

void FormCOM::FoluderSansyou_Click() {
  FileRequest request;
  request.title = QStringLiteral("ファイルパス検索");
  request.folder = logFolder_->text().trimmed();
  const QString chosen = Dialogs().Folder(request);
  if (chosen.isEmpty()) return;
  const QString folder = FolderWithSeparator(chosen);
  logFolder_->setText(folder);
  logFolder_->setToolTip(folder);
  logFolder_->setCursorPosition(static_cast<int>(folder.size()));  // the chosen folder's end in view
  MainModule& m = mm();
  m.gLogOutPath = folder;
  WriteIni(QStringLiteral("Path"), QStringLiteral("LogOutPath"), folder, m.gIniPath);
}

void FormCOM::DeviceManager_Click() {
  const QString viewer = FindHardwareViewer();
  if (!viewer.isEmpty() && QProcess::startDetached(viewer, {})) return;
  QByteArray names;
  int16_t count = 0;
  const int32_t result = link_.GetPortNames(&names, &count);
  MsgBox(SerialDevicesText(cp932::Decode(names), result, count), BoxButtons::kOk, BoxIcon::kInformation,
         QStringLiteral("デバイスマネージャー"));
}

PortSettingsForm FormCOM::FormValues() const {
  PortSettingsForm f;
  f.port = port_->currentData().toInt();
  f.baud = baud_->currentData().toInt();
  f.parity = parity_->currentData().toInt();
  f.dataBit = dataBits_->currentData().toInt();
  f.cts = cts_->isChecked();
  f.dsr = dsr_->isChecked();
  f.ackNakMsgBox = ackNakMsgBox_->isChecked();
  f.respMsgBox = respMsgBox_->isChecked();
  for (int b = 0; b < kNumberBoxes; ++b) f.numbers[static_cast<size_t>(b)] = numbers_[b]->text();
  for (int i = 0; i < 9; ++i) f.events[static_cast<size_t>(i)] = events_[i]->isChecked();
  f.logFolder = logFolder_->text();
  return f;
}

bool FormCOM::LogModeChanged() const { return QString::number(logMode_) != mm().gDllLogging.trimmed(); }

bool FormCOM::AskRestart() {
  return MsgBox(kRestartText, BoxButtons::kYesNo, BoxIcon::kExclamation) == BoxAnswer::kYes;
}

bool FormCOM::Save() {
  const ParsedSettings parsed = ParseForm(FormValues());
  if (parsed.badBox) {
    MsgBox(NumberBoxError(*parsed.badBox), BoxButtons::kOk, BoxIcon::kExclamation);
    QLineEdit* box = Box(*parsed.badBox);
    box->setFocus();
    box->selectAll();
    return false;
  }
  MainModule& m = mm();
  ApplySettings(*parsed.settings, m);
  WritePortSettings(m);
  if (saved_) saved_();
  WriteLibraryLogSettings(m, logMode_);
  SetBoxText(logFolder_, m.gLogOutPath);
  if (LogModeChanged() && bClosing_ == 0 && AskRestart()) m.gRestartRequest = -1;
  bSaved_ = -1;
  return true;
}

void FormCOM::CmdCOMConfigSave_Click() {
  if (Save()) close();
}

void FormCOM::CmdInitialize_Click() {
  const BoxAnswer a = MsgBox(QStringLiteral("初期化を完了させるには、一度エミュレーターを再起動させる必要があります。\r\n"
                                            "終了させる場合は[はい]を、しない場合は[いいえ]をクリックして下さい"),
                             BoxButtons::kYesNo, BoxIcon::kExclamation);
  if (a != BoxAnswer::kYes) return;
  MainModule& m = mm();
  RequestSettingsWipe(m.gIniPath);
  m.gRestartRequest = -1;
  bSaved_ = -1;
  close();
}

void FormCOM::closeEvent(QCloseEvent* event) {
  if (bSaved_ != -1) {
    bClosing_ = -1;
    const ParsedSettings parsed = ParseForm(FormValues());
    const bool changed = !parsed.settings || *parsed.settings != SettingsOf(mm());
    bool save = false;
    bool restart = false;
    if (LogModeChanged()) {
      restart = save = AskRestart();
    } else if (changed) {
      save = MsgBox(QStringLiteral("設定内容が変更されています。\r\n"
                                   "保存させる場合は[はい]を、しない場合は[いいえ]をクリックして下さい"),
                    BoxButtons::kYesNo, BoxIcon::kExclamation) == BoxAnswer::kYes;
    }
    // A box the save refuses keeps the window open, so the edits are not lost.
    if (save && !Save()) {
      bClosing_ = 0;
      event->ignore();
      return;
    }
    if (restart) mm().gRestartRequest = -1;
  }
  event->accept();
  done(bSaved_ == -1 ? QDialog::Accepted : QDialog::Rejected);
}

bool FormCOM::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    if (auto* box = qobject_cast<QLineEdit*>(watched)) SetBoxText(box, AbsoluteNumberText(box->text()));
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace quorel
