#include "tools/form_file.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeView>

#include "core/colour_values.h"
#include "core/dialogs.h"
#include "core/folders.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "core/main_shell.h"
#include "core/settings_file.h"
#include "core/text_room.h"
#include "tools/command_file_io.h"

namespace quorel {
namespace {

// The smallest window, 5565 x 7620 twips.
constexpr int kMinWidth = 5565 / kTwipsPerPixel;
constexpr int kMinHeight = 7620 / kTwipsPerPixel;

constexpr uint32_t kRunningColor = 0x0080FF;  // orange
constexpr uint32_t kBlack = 0;

const QString& Section() {
  static const QString base = QStringLiteral("FormFile");
  return base;
}

// A stored check-box value: only "1" ticks it.
bool StoredTick(const QString& value) { return value.trimmed() == QLatin1String("1"); }

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip = QString()) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QLatin1String(name));
  if (!tip.isEmpty()) b->setToolTip(tip);
  return b;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption = QString()) {
  auto* l = new QLabel(caption, parent);
  if (name) l->setObjectName(QLatin1String(name));
  return l;
}

}  // namespace

QStringList DriveRoots() {
  QStringList roots{QStringLiteral("/")};
  const QString home = QDir::homePath();
  if (home != QLatin1String("/") && QFileInfo(home).isReadable()) roots.append(home);
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = volume.rootPath();
    const bool media = root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/mnt/")) ||
                       root.startsWith(QLatin1String("/run/media/"));
    if (media && volume.isValid() && volume.isReady() && QFileInfo(root).isReadable() && !roots.contains(root))
      roots.append(root);
  }
  return roots;
}

FormFile::FormFile(std::unique_ptr<RunnerDevice> device, QWidget* parent)
    : QWidget(parent), device_(std::move(device)), runner_(*device_, *this) {
  setObjectName(QStringLiteral("FormFile"));
  setWindowTitle(QStringLiteral("File Access Mode"));
  setAttribute(Qt::WA_DeleteOnClose);
  BuildControls();

  setMinimumSize(kMinWidth, kMinHeight);
  resize(kMinWidth, kMinHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.left() + area.width() / 2 - width() / 2, area.top() + area.height() / 2 - height() / 2);
  }
  for (QLabel* l : {lbCommand_, lbLoop_, lbWait_, lbLine_}) l->clear();
  LoadSettings();
  LoadStartFile();
}

FormFile::~FormFile() = default;

void FormFile::BuildControls() {
  drive_ = new QComboBox(this);
  drive_->setObjectName(QStringLiteral("Drive1"));
  drive_->addItems(DriveRoots());

  dirModel_ = new QFileSystemModel(this);
  dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  dir_ = new QTreeView(this);
  dir_->setObjectName(QStringLiteral("Dir1"));
  dir_->setModel(dirModel_);
  dir_->setHeaderHidden(true);
  for (int c = 1; c < dirModel_->columnCount(); ++c) dir_->hideColumn(c);

  fileModel_ = new QFileSystemModel(this);
  fileModel_->setFilter(QDir::Files);
  file_ = new QListView(this);
  file_->setObjectName(QStringLiteral("File1"));
  file_->setModel(fileModel_);

  nameCaption_ = MakeLabel(this, nullptr, QStringLiteral("File Name"));
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("TxtFilePath"));

  editor_ = new QTextEdit(this);
  editor_->setObjectName(QStringLiteral("TxtField"));
  editor_->setAcceptRichText(false);
  editor_->setLineWrapMode(QTextEdit::NoWrap);
  QFont font(QStringLiteral("ＭＳ ゴシック"), 9);
  font.setStyleHint(QFont::TypeWriter);
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("monospace")});
  editor_->setFont(font);
  editor_->installEventFilter(this);

  buttons_[0] = MakeButton(this, "CmdOpen", QStringLiteral("開く(&O)"));
  buttons_[1] = MakeButton(this, "CmdSave", QStringLiteral("保存(&S)"));
  buttons_[2] = MakeButton(this, "CmdCls", QStringLiteral("消去(&E)"), QStringLiteral("編集フィールドを消去します"));
  buttons_[3] = MakeButton(this, "CmdExe", QStringLiteral("実行(&R)"));
  buttons_[4] = MakeButton(this, "CmdAbort", QStringLiteral("中止"));
  buttons_[5] = MakeButton(this, "CmdEnd", QStringLiteral("終了"), QStringLiteral("File Access Mode 終了"));

  errorStop_ = new QCheckBox(QStringLiteral("Error Stop"), this);
  errorStop_->setObjectName(QStringLiteral("ChkErStop"));
  errorStop_->setToolTip(QStringLiteral("チェックするとエラーを検知しストップします。"));
  apa13_ = new QCheckBox(QStringLiteral("APA13 Ignores"), this);
  apa13_->setObjectName(QStringLiteral("ChkAPA13"));
  apa13_->setToolTip(QStringLiteral("チェックするとAPA13を無視します。"));

  captions_[0] = MakeLabel(this, nullptr, QStringLiteral("Line"));
  captions_[1] = MakeLabel(this, nullptr, QStringLiteral("Loop Count"));
  captions_[2] = MakeLabel(this, nullptr, QStringLiteral("Wait (sec)"));
  captions_[3] = MakeLabel(this, nullptr, QStringLiteral("Command"));
  lbLine_ = MakeLabel(this, "LbLine");
  lbLoop_ = MakeLabel(this, "LbLoopCount");
  lbWait_ = MakeLabel(this, "LbWaitDisp");
  lbCommand_ = MakeLabel(this, "LbCmndLine");
  for (QLabel* l : {lbLine_, lbLoop_, lbWait_, lbCommand_}) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  connect(buttons_[0], &QPushButton::clicked, this, &FormFile::CmdOpen_Click);
  connect(buttons_[1], &QPushButton::clicked, this, &FormFile::CmdSave_Click);
  connect(buttons_[2], &QPushButton::clicked, this, &FormFile::CmdCls_Click);
  connect(buttons_[3], &QPushButton::clicked, this, &FormFile::CmdExe_Click);
  connect(buttons_[4], &QPushButton::clicked, this, &FormFile::CmdAbort_Click);
  connect(buttons_[5], &QPushButton::clicked, this, &FormFile::CmdEnd_Click);
  connect(drive_, &QComboBox::currentIndexChanged, this, &FormFile::Drive1_Change);
  connect(dir_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) SetFolder(dirModel_->filePath(current));
          });
  connect(file_, &QListView::clicked, this,
          [this](const QModelIndex& index) { File1_Click(fileModel_->fileName(index)); });
  connect(file_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
    File1_Click(fileModel_->fileName(index));
    CmdOpen_Click();
  });
}

void FormFile::LoadSettings() {
  const MainModule& m = mm();
  const QString section = InstanceSection(Section());
  if (ReadIni(section, QStringLiteral("ErrorStop"), m.gIniPath).isEmpty()) {
    WriteIni(section, QStringLiteral("ErrorStop"), QStringLiteral("0"), m.gIniPath);
    WriteIni(section, QStringLiteral("APA13"), QStringLiteral("0"), m.gIniPath);
    errorStop_->setChecked(false);
    apa13_->setChecked(false);
    return;
  }
  errorStop_->setChecked(StoredTick(ReadIni(section, QStringLiteral("ErrorStop"), m.gIniPath)));
  apa13_->setChecked(StoredTick(ReadIni(section, QStringLiteral("APA13"), m.gIniPath)));
}

void FormFile::LoadStartFile() {
  const MainModule& m = mm();
  const QString section = InstanceSection(Section());
  const QString folder = ReadIni(section, QStringLiteral("Dat_Path"), m.gIniPath);
  const QString name = ReadIni(section, QStringLiteral("Dat_File"), m.gIniPath);
  QString text;
  QString error;
  if (!folder.isEmpty() && QFileInfo(folder).isDir() && ReadCommandFile(JoinPath(folder, name), &text, &error) &&
      m.gAppClosing != 1) {
    SetFolder(folder);
    SetBoxText(name_, name);
    filePath_ = JoinPath(folder, name);
    SetEditorText(text);
    return;
  }
  // No message: a first start simply shows the sample.
  SetFolder(SettingsDir());
  SetBoxText(name_, QStringLiteral("Sample.dat"));
  SetEditorText(SampleCommandFile());
}

void FormFile::SetFolder(const QString& path) {
  const QString folder = QDir::cleanPath(path);
  if (folder == folder_) return;
  folder_ = folder;
  // The drive that holds the folder: the longest root it lies under.
  int best = 0;
  for (int i = 0; i < drive_->count(); ++i) {
    const QString root = drive_->itemText(i);
    const bool under = folder == root || folder.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
    if (under && root.size() > drive_->itemText(best).size()) best = i;
  }
  {
    const QSignalBlocker block(drive_);
    drive_->setCurrentIndex(best);
  }
  const QString root = drive_->itemText(best);
  dir_->setRootIndex(dirModel_->setRootPath(root));
  const QModelIndex current = dirModel_->index(folder);
  {
    const QSignalBlocker block(dir_->selectionModel());
    dir_->setCurrentIndex(current);
  }
  if (current.isValid()) dir_->scrollTo(current);
  // Dir1_Change: the file list follows the folder.
  file_->setRootIndex(fileModel_->setRootPath(folder));
}

void FormFile::Drive1_Change(int index) {
  if (index >= 0) SetFolder(drive_->itemText(index));
}

void FormFile::File1_Click(const QString& name) { SetBoxText(name_, name); }

QString FormFile::ChosenPath() const {
  const QString name = name_->text();
  if (QDir::isAbsolutePath(name)) return name;
  return JoinPath(folder_, name);
}

QString FormFile::EditorText() const {
  QString text;
  const QTextDocument* doc = editor_->document();
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    if (b != doc->begin()) text += QLatin1String("\r\n");
    text += b.text();
  }
  return text;
}

void FormFile::SetEditorText(const QString& text) {
  highlighted_ = -1;
  QString plain = text;
  plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  editor_->setPlainText(plain);
}

void FormFile::CmdOpen_Click() {
  const QString path = ChosenPath();
  QString text;
  QString error;
  if (!ReadCommandFile(path, &text, &error)) {
    MsgBox(QStringLiteral("ファイルを開けませんでした。編集フィールドは元のままです。\r\n") + path +
               QStringLiteral("\r\n") + error,
           BoxButtons::kOk, BoxIcon::kCritical, windowTitle());
    return;
  }
  // The program is closing: the editor keeps what it shows.
  if (mm().gAppClosing == 1) return;
  filePath_ = path;
  SetEditorText(text);
}

void FormFile::CmdSave_Click() {
  const QString path = ChosenPath();
  QString error;
  if (!WriteCommandFile(path, EditorText(), &error)) {
    MsgBox(QStringLiteral("ファイルを保存できませんでした。ファイルは元のままです。\r\n") + path +
               QStringLiteral("\r\n") + error,
           BoxButtons::kOk, BoxIcon::kCritical, windowTitle());
    return;
  }
  filePath_ = path;
}

void FormFile::CmdCls_Click() {
  name_->clear();
  SetEditorText(QString());
}

void FormFile::CmdExe_Click() {
  if (runner_.running()) return;
  // Every line shown in colour would otherwise become an undo step.
  QTextDocument* doc = editor_->document();
  doc->setUndoRedoEnabled(false);
  runner_.Run(EditorText());
  doc->setUndoRedoEnabled(true);
  // A deletion held back during the run; posted afresh, since a second
  // deleteLater may be ignored once one was asked for.
  if (deleteAfterRun_) QCoreApplication::postEvent(this, new QDeferredDeleteEvent);
}

void FormFile::CmdAbort_Click() { runner_.Abort(); }

void FormFile::closeEvent(QCloseEvent* event) {
  // Closing during a run stops it as the abort button does.
  if (runner_.running()) runner_.Abort();
  const MainModule& m = mm();
  const QString section = InstanceSection(Section());
  WriteIni(section, QStringLiteral("ErrorStop"), errorStop_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
           m.gIniPath);
  WriteIni(section, QStringLiteral("APA13"), apa13_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
           m.gIniPath);
  event->accept();
}

bool FormFile::event(QEvent* event) {
  // The run is on the stack below the event loop that would delete the
  // window: it is deleted once the run has returned.
  if (event->type() == QEvent::DeferredDelete && runner_.running()) {
    deleteAfterRun_ = true;
    return true;
  }
  return QWidget::event(event);
}

bool FormFile::eventFilter(QObject* watched, QEvent* event) {
  // Shift+Enter would break a line inside its block; a command file's lines
  // are the editor's blocks.
  if (watched == editor_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::ShiftModifier)) {
      editor_->textCursor().insertBlock();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FormFile::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

void FormFile::Layout() {
  const int w = width();
  const int h = height();
  const auto px = [](int twips) { return twips / kTwipsPerPixel; };
  const int nameWidth = w - px(2450);
  name_->setGeometry(px(1230), px(120), nameWidth, 22);
  nameCaption_->setGeometry(px(120), px(120), px(1230) - px(120) - 4, 22);
  const int buttonLeft = px(1230) + nameWidth + px(100);
  const int buttonWidth = w - buttonLeft - px(120);
  for (int k = 0; k < 6; ++k) buttons_[k]->setGeometry(buttonLeft, px(120) + k * 27, buttonWidth, 23);

  const int listWidth = w * 2175 / 5310;
  drive_->setGeometry(px(120), px(570), listWidth, 22);
  dir_->setGeometry(px(120), px(930), listWidth, 120 - px(930));
  const int fileLeft = listWidth + px(240);
  file_->setGeometry(fileLeft, px(570), buttonLeft - px(100) - fileLeft, 120 - px(570));

  // Run displays: the check boxes, then line, loop count and wait, then the
  // command across the whole width (below the button column). Each caption
  // is as wide as its text needs; what follows it on its row moves along.
  int x = px(120);
  const auto next = [&x](QWidget* w, int y, int width, int gap) {
    x = PlaceFitted(w, QRect(x, y, width, 18)).right() + 1 + gap;
  };
  next(errorStop_, 124, 100, 4);
  next(apa13_, 124, 120, 0);
  x = px(120);
  const int row2 = 146;
  next(captions_[0], row2, 28, 0);
  next(lbLine_, row2, 40, 4);
  next(captions_[1], row2, 62, 0);
  next(lbLoop_, row2, 44, 4);
  next(captions_[2], row2, 56, 0);
  next(lbWait_, row2, 36, 0);
  x = px(120);
  const int row3 = 168;
  next(captions_[3], row3, 56, 0);
  lbCommand_->setGeometry(x, row3, w - px(120) - x, 18);

  editor_->setGeometry(px(120), px(2880), w - px(250), h - px(3000));
}

void FormFile::ShowLine(int64_t line) { lbLine_->setText(QString::number(line)); }
void FormFile::ShowLoopCount(int32_t repeat) { lbLoop_->setText(QString::number(repeat)); }
void FormFile::ShowCommand(const QString& text) { lbCommand_->setText(text); }
void FormFile::ShowWait(const QString& text) { lbWait_->setText(text); }
bool FormFile::ErrorStopTicked() const { return errorStop_->isChecked(); }
bool FormFile::Apa13IgnoresTicked() const { return apa13_->isChecked(); }

void FormFile::PaintLine(int blockNumber, bool running) {
  const QTextBlock block = editor_->document()->findBlockByNumber(blockNumber);
  if (!block.isValid()) return;
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  QTextCharFormat format;
  format.setForeground(ColorOfValue(running ? kRunningColor : kBlack, editor_));
  format.setFontWeight(running ? QFont::Bold : QFont::Normal);
  cursor.mergeCharFormat(format);
}

void FormFile::Highlight(int64_t line) {
  Unhighlight();
  if (line < 1 || line > editor_->document()->blockCount()) return;
  highlighted_ = static_cast<int>(line - 1);
  PaintLine(highlighted_, true);
  ScrollToBlock(highlighted_);
}

void FormFile::Unhighlight() {
  if (highlighted_ < 0) return;
  PaintLine(highlighted_, false);
  highlighted_ = -1;
}

void FormFile::ClearHighlights() {
  highlighted_ = -1;
  QTextCursor cursor(editor_->document());
  cursor.select(QTextCursor::Document);
  QTextCharFormat format;
  format.setForeground(ColorOfValue(kBlack, editor_));
  format.setFontWeight(QFont::Normal);
  cursor.mergeCharFormat(format);
}

void FormFile::ScrollToBlock(int blockNumber) {
  const QTextBlock block = editor_->document()->findBlockByNumber(blockNumber);
  const QRectF r = editor_->document()->documentLayout()->blockBoundingRect(block);
  QScrollBar* bar = editor_->verticalScrollBar();
  const int top = bar->value();
  const int visible = editor_->viewport()->height();
  if (r.top() < top || r.bottom() > top + visible) bar->setValue(static_cast<int>(r.top()) - visible / 3);
}

}  // namespace quorel
