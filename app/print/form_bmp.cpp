#include "print/form_bmp.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "print/bmp_shell_rules.h"
#include "print/picture_box.h"

namespace quorel {
namespace {

constexpr int kWindowWidth = 688;
constexpr int kRightColumn = 364;

template <typename T>
T* Make(QWidget* parent, const QString& name, int index = -1) {
  auto* w = new T(parent);
  w->setObjectName(ControlKey(name, index));
  return w;
}

QLabel* Label(QWidget* parent, const QString& name, int index, const QString& caption, const QRect& r) {
  auto* l = Make<QLabel>(parent, name, index);
  l->setText(caption);
  l->setGeometry(r);
  return l;
}

QRadioButton* Option(QWidget* parent, QButtonGroup* group, const QString& name, int index, const QString& caption,
                     const QRect& r) {
  auto* b = Make<QRadioButton>(parent, name, index);
  b->setText(caption);
  b->setGeometry(r);
  group->addButton(b, index);
  return b;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption, const QRect& r) {
  auto* b = Make<QPushButton>(parent, name);
  b->setText(caption);
  b->setGeometry(r);
  return b;
}

QComboBox* List(QWidget* parent, const QString& name, const QStringList& items, const QRect& r) {
  auto* c = Make<QComboBox>(parent, name);
  c->addItems(items);
  c->setGeometry(r);
  return c;
}

}  // namespace

FormBMP::FormBMP(DeviceChannel& channel, QWidget* mainWindow) : channel_(channel), mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("FormBMP"));
  setWindowTitle(QStringLiteral("BMP Down Load"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("FormBMPClient"));
  setCentralWidget(central);

  BuildMenus();
  BuildPictureFrame(central);
  BuildOptionTabs(central);
  BuildPictureControls(central);
  BuildTransferTabs(central);

  auto* trans = Button(central, QStringLiteral("CmdBMPTrans"), QStringLiteral("BMP Transmit and Print"),
                       QRect(kRightColumn, 472, 148, 28));
  auto* stop = Button(central, QStringLiteral("CmdStop"), QStringLiteral("Stop"), QRect(kRightColumn + 152, 472, 50, 28));
  auto* cipr = Button(central, QStringLiteral("CmdCIPR"), QStringLiteral("Card In Print (&P)"),
                      QRect(kRightColumn + 206, 472, 114, 28));
  // The download and card jobs come with their own handlers; until then
  // their buttons only lock and unlock the job controls.
  connect(trans, &QPushButton::clicked, this, [this] { CmdBMPTrans_Click(); });
  connect(cipr, &QPushButton::clicked, this, [this] { CmdCIPR_Click(); });
  connect(stop, &QPushButton::clicked, this, [this] { CmdStop_Click(); });
  stop->setEnabled(false);  // idle: only a job enables it

  ui_.AddTree(this);
  Load();
}

FormBMP::~FormBMP() = default;

void FormBMP::BuildMenus() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("Menu"));
  menu->setObjectName(QStringLiteral("Menu"));
  auto add = [this](QMenu* m, const char* name, const char* caption, void (FormBMP::*handler)()) {
    QAction* a = m->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (handler) connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return a;
  };
  add(menu, "showForm1", "Form1 show", &FormBMP::MenuShowMain_Click);
  add(menu, "Close", "CommClose", &FormBMP::MenuClose_Click);
  add(menu, "Quit", "Quit", &FormBMP::MenuQuit_Click);

  QMenu* print = menuBar()->addMenu(QStringLiteral("Image Print"));
  print->setObjectName(QStringLiteral("PrintMenu"));
  add(print, "bmpDisp", "BMP File Disp", &FormBMP::CmdBMPFileDisp_Click);
  // The binary download, the card print and the export come with their jobs.
  add(print, "bmpDownload", "BMP Fast DownLoad", &FormBMP::bmpDownload_Click);
  add(print, "cardPrint", "Print", &FormBMP::CmdCIPR_Click);
  add(print, "MenuFileH8Assembla", "File Save for H8Assembla", &FormBMP::MenuFileH8Assembla_Click);
}

void FormBMP::BuildPictureFrame(QWidget* parent) {
  framePic_ = Make<QGroupBox>(parent, QStringLiteral("FramePic"));
  framePic_->setTitle(QStringLiteral("Card"));
  framePic_->setGeometry(4, 2, 352, 500);

  pictureBox_ = new PictureBox(framePic_);
  pictureBox_->setObjectName(QStringLiteral("PicBMPField"));
  pictureBox_->SetImage(&picture_.view());
  pictureBox_->SetDoubleClick([this] { PicBMPField_DblClick(); });

  hScroll_ = Make<QScrollBar>(framePic_, QStringLiteral("HScrollLandscape"));
  hScroll_->setOrientation(Qt::Horizontal);
  vScroll_ = Make<QScrollBar>(framePic_, QStringLiteral("VScrollPortrait"));
  vScroll_->setOrientation(Qt::Vertical);
  for (QScrollBar* bar : {hScroll_, vScroll_}) {
    bar->setMinimum(0);
    connect(bar, &QScrollBar::valueChanged, this, [this] { PictureRefresh(); });
  }

  static const char* const kCaptions[kMessageLineCount] = {"Top Message", "Message Line1", "Message Line2",
                                                           "Message Line3", "Message Line4"};
  for (int i = 0; i < kMessageLineCount; ++i) {
    msgInfo_[i] = Label(framePic_, QStringLiteral("lbMsgInfo"), i, QString::fromLatin1(kCaptions[i]), QRect());
    QFont small = msgInfo_[i]->font();
    small.setPointSizeF(small.pointSizeF() * 0.7);
    msgInfo_[i]->setFont(small);
    msgLine_[i] = Make<QLineEdit>(framePic_, QStringLiteral("TxtMsgLine"), i);
    msgLen_[i] = Label(framePic_, QStringLiteral("lbMsgLineLen"), i, QString(), QRect());
    msgLen_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(msgLine_[i], &QLineEdit::textChanged, this, [this, i] { TxtMsgLine_Change(i); });
  }
}

void FormBMP::BuildOptionTabs(QWidget* parent) {
  tabFunction_ = Make<QTabWidget>(parent, QStringLiteral("SSTabFunction"));
  tabFunction_->setGeometry(kRightColumn, 2, 320, 228);

  auto* down = new QWidget;
  down->setObjectName(QStringLiteral("SSTabFunctionDown"));
  tabFunction_->addTab(down, QStringLiteral("BMP Down Load"));
  auto* areaBox = Make<QGroupBox>(down, QStringLiteral("FramePrArea"));
  areaBox->setTitle(QStringLiteral("Print Area"));
  areaBox->setGeometry(4, 2, 140, 100);
  opPrArea_ = new QButtonGroup(this);
  static const char* const kAreas[kPrintAreaCount] = {"320x460", "320x600", "320x300+Text", "320x465+Text"};
  for (int i = 0; i < kPrintAreaCount; ++i)
    Option(areaBox, opPrArea_, QStringLiteral("OpPrArea"), i, QString::fromLatin1(kAreas[i]),
           QRect(8, 18 + 20 * i, 126, 18));

  opIBPI_ = new QButtonGroup(this);
  opTranceMode_ = new QButtonGroup(this);
  opMagTr_ = new QButtonGroup(this);
  opCdBackColor_ = new QButtonGroup(this);
  opBufferSize_ = new QButtonGroup(this);
  struct Pair {
    QButtonGroup* group;
    const char* label;
    const char* labelCaption;
    const char* name;
    const char* captions[2];
    QPoint at;
  };
  const Pair pairs[] = {
      {opIBPI_, "LbCMDIBPI", "Command", "OpIBPI", {"IB", "PI"}, {152, 4}},
      {opTranceMode_, "LbTranceMode", "Trance Mode", "OpTranceMode", {"DLL", "Form"}, {152, 40}},
      {opMagTr_, "LbMagTr", "Mag Track", "OpMagTr", {"1", "2"}, {152, 76}},
      {opCdBackColor_, "LbCdBackColor", "Card Back color", "OpCdBackColor", {"White", "Silver"}, {4, 106}},
  };
  for (const Pair& p : pairs) {
    Label(down, QString::fromLatin1(p.label), -1, QString::fromLatin1(p.labelCaption),
          QRect(p.at, QSize(140, 16)));
    for (int i = 0; i < 2; ++i)
      Option(down, p.group, QString::fromLatin1(p.name), i, QString::fromLatin1(p.captions[i]),
             QRect(p.at + QPoint(4 + 64 * i, 16), QSize(62, 18)));
  }
  Option(down, opBufferSize_, QStringLiteral("OpBufferSize"), 0, QStringLiteral("512 Byte"), QRect(4, 146, 84, 18));
  Option(down, opBufferSize_, QStringLiteral("OpBufferSize"), 1, QStringLiteral("1024 Byte"), QRect(90, 146, 90, 18));
  // The third button's caption is blank where the text box stands on it.
  Option(down, opBufferSize_, QStringLiteral("OpBufferSize"), 2, QStringLiteral("              Byte"),
         QRect(182, 146, 120, 18));
  bufferSizeBox_ = Make<QLineEdit>(down, QStringLiteral("TxtBufferSize"));
  bufferSizeBox_->setText(QStringLiteral("2048"));
  bufferSizeBox_->setGeometry(200, 144, 50, 22);

  auto* ib4 = Make<QCheckBox>(down, QStringLiteral("ChkIB4Free"));
  ib4->setText(QStringLiteral("IB4blockFree"));
  ib4->setGeometry(152, 122, 150, 18);
  connect(ib4, &QCheckBox::clicked, this, [this] { ChkIB4Free_Click(); });

  Label(down, QStringLiteral("LbCard"), -1, QStringLiteral("カード種"), QRect(4, 172, 60, 20));
  card_ = List(down, QStringLiteral("CmbCard"), CardKindItems(), QRect(66, 170, 240, 24));
  connect(card_, &QComboBox::currentIndexChanged, this, [this] { CmbCard_Change(); });
  connect(card_, &QComboBox::activated, this, [this] { CmbCard_Change(); });
  connect(card_, &QComboBox::highlighted, this, [this] { CmbCard_Change(); });

  auto* ram = new QWidget;
  ram->setObjectName(QStringLiteral("SSTabFunctionRam"));
  tabFunction_->addTab(ram, QStringLiteral("Memory Save"));
  Label(ram, QStringLiteral("LbSaveArea"), -1, QStringLiteral("Save data\nAreaNo"), QRect(8, 10, 70, 34));
  saveArea_ = List(ram, QStringLiteral("CmbSaveAreaNo"), RamAreaItems(), QRect(82, 14, 56, 24));
  auto* saveRam = Button(ram, QStringLiteral("CmdSaveRAM"), QStringLiteral("Save to RAM"), QRect(150, 10, 150, 30));
  connect(saveRam, &QPushButton::clicked, this, [this] { CmdSaveRAM_Click(); });
  Label(ram, QStringLiteral("LbLoadArea"), -1, QStringLiteral("Load data\nAreaNo"), QRect(8, 60, 70, 34));
  loadArea_ = List(ram, QStringLiteral("CmbLoadAreaNo"), RamAreaItems(), QRect(82, 64, 56, 24));
  auto* loadRam = Button(ram, QStringLiteral("CmdLoadRAM"), QStringLiteral("Load Image Print"), QRect(150, 60, 150, 30));
  connect(loadRam, &QPushButton::clicked, this, [this] { CmdLoadRAM_Click(); });

  for (QButtonGroup* g : {opPrArea_, opTranceMode_}) {
    connect(g, &QButtonGroup::idToggled, this, [this, g](int id, bool on) {
      if (!on) return;
      if (g == opPrArea_) OpPrArea_Click(id);
      else OpTranceMode_Click(id);
    });
  }
}

void FormBMP::BuildPictureControls(QWidget* parent) {
  Label(parent, QStringLiteral("LbFileInfo"), -1, QStringLiteral("File Name"), QRect(kRightColumn, 234, 120, 16));
  pathBox_ = Make<QLineEdit>(parent, QStringLiteral("TxtFilePathBox"));
  pathBox_->setGeometry(kRightColumn, 250, 280, 24);
  pathBox_->setAcceptDrops(true);
  pathBox_->installEventFilter(this);
  connect(pathBox_, &QLineEdit::textChanged, this, [this] { TxtFilePathBox_Change(); });
  auto* read = Button(parent, QStringLiteral("CmdFileRead"), QStringLiteral("..."), QRect(kRightColumn + 284, 249, 36, 26));
  connect(read, &QPushButton::clicked, this, [this] { CmdFileRead_Click(); });
  auto* disp = Button(parent, QStringLiteral("CmdBMPFileDisp"), QStringLiteral("BMP File Disp"),
                      QRect(kRightColumn, 278, 156, 26));
  connect(disp, &QPushButton::clicked, this, [this] { CmdBMPFileDisp_Click(); });
  auto* clip = Button(parent, QStringLiteral("CmdCilpDisp"), QStringLiteral("Clip Bourd Disp"),
                      QRect(kRightColumn + 164, 278, 156, 26));
  connect(clip, &QPushButton::clicked, this, [this] { CmdCilpDisp_Click(); });

  Label(parent, QStringLiteral("LbPicEdit"), 0, QStringLiteral("Zoom"), QRect(kRightColumn, 310, 40, 20));
  QStringList zooms;
  for (int z : ZoomSteps()) zooms << QString::number(z);
  zoom_ = List(parent, QStringLiteral("CmbZoom"), zooms, QRect(kRightColumn + 42, 308, 70, 24));
  for (int i = 0; i < zoom_->count(); ++i) zoom_->setItemData(i, ZoomSteps()[static_cast<size_t>(i)]);
  zoom_->installEventFilter(this);
  connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { CmbZoom_Change(); });
  Label(parent, QStringLiteral("LbPicEdit"), 1, QStringLiteral("Brightness"), QRect(kRightColumn + 140, 310, 80, 20));
  bright_ = List(parent, QStringLiteral("CmbBright"), BrightnessTexts(), QRect(kRightColumn + 222, 308, 70, 24));
  for (int i = 0; i < bright_->count(); ++i) bright_->setItemData(i, BrightnessAt(i));
}

void FormBMP::BuildTransferTabs(QWidget* parent) {
  tabDown_ = Make<QTabWidget>(parent, QStringLiteral("SSTabBMPDown"));
  tabDown_->setGeometry(kRightColumn, 336, 320, 132);

  auto* transfer = new QWidget;
  transfer->setObjectName(QStringLiteral("SSTabBMPDownTransfer"));
  tabDown_->addTab(transfer, QStringLiteral("Transfer"));
  auto* times = Make<QGroupBox>(transfer, QStringLiteral("FrameTimeDisp"));
  times->setTitle(QStringLiteral("Transfer Time"));
  times->setGeometry(2, 0, 162, 96 + kFrameTitleInset);
  Label(times, QStringLiteral("LbTimeDisp"), 0, QStringLiteral("File-ized time "), QRect());
  Label(times, QStringLiteral("LbTimeDisp"), 1, QStringLiteral("Transfer time"), QRect());
  for (int i = 0; i < 2; ++i) Label(times, QStringLiteral("LbTime"), i, NoTimeCaption(), QRect());

  auto* status = Label(transfer, QStringLiteral("LbStatusMsg"), -1, QString(), QRect(170, 4, 140, 20));
  status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  status->setAlignment(Qt::AlignCenter);
  status->setAutoFillBackground(true);
  Label(transfer, QStringLiteral("LbLineDisp"), -1, QString(), QRect(170, 28, 140, 16));
  auto* conv = Make<QProgressBar>(transfer, QStringLiteral("ProgBarFileTrance"));
  conv->setGeometry(170, 48, 140, 14);
  conv->setTextVisible(false);
  auto* send = Make<QProgressBar>(transfer, QStringLiteral("ProgBarDataSend"));
  send->setGeometry(170, 66, 140, 14);
  send->setTextVisible(false);

  auto* data = new QWidget;
  data->setObjectName(QStringLiteral("SSTabBMPDownData"));
  tabDown_->addTab(data, QStringLiteral("Send Data"));
  auto* sent = Label(data, QStringLiteral("LbSendDataDisp"), -1, QString(), QRect(4, 4, 306, 78));
  sent->setWordWrap(true);
  sent->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  sent->setTextFormat(Qt::PlainText);
  resize(kWindowWidth, 532);
}

void FormBMP::ApplyLayout(const AreaLayout& l) {
  const QPoint inset(0, kFrameTitleInset);
  pictureBox_->setGeometry(l.picture.translated(inset));
  hScroll_->setGeometry(l.hScroll.translated(inset));
  vScroll_->setGeometry(l.vScroll.translated(inset));
  for (int i = 0; i < kMessageLineCount; ++i) {
    const MessageRowLayout& r = l.rows[static_cast<size_t>(i)];
    msgInfo_[i]->setGeometry(QRect(r.caption + inset, QSize(r.text.x() - r.caption.x() - 2, 18)));
    msgLine_[i]->setGeometry(QRect(r.text + inset, QSize(kMessageTextWidth, 22)));
    msgLen_[i]->setGeometry(QRect(r.length + inset, QSize(kMessageLengthWidth, 22)));
    msgInfo_[i]->setVisible(l.messageRows);
    msgLine_[i]->setVisible(l.messageRows);
    msgLen_[i]->setVisible(l.messageRows);
  }
  framePic_->setGeometry(4, 2, 352, l.frameHeight + kFrameTitleInset);
  // The layouts give the whole window's height; the title bar and borders
  // they counted are not ours to draw.
  constexpr int kTitleAndBorders = 30;
  const int menu = menuBar()->sizeHint().height();
  const int needed = std::max(l.windowHeight - kTitleAndBorders, 2 + l.frameHeight + kFrameTitleInset + menu + 4);
  resize(kWindowWidth, std::max(needed, 500 + menu));
}

}  // namespace quorel
