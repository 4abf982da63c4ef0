// The bitmap window offscreen: its load and close with the settings file,
// the option groups, the message lines, the job lock, the stopwatch, the
// stop button and menus, and the picture display through its controls.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QUrl>

#include "core/versions.h"
#include "form_bmp_fixture.h"
#include "print/bmp_shell_rules.h"
#include <QFrame>

namespace quorel {
namespace {

using testing::FormBmpTest;
using testing::Pattern;

TEST_F(FormBmpTest, InstanceTwoReadsAndWritesItsNumberedSection) {
  mm().gInstanceNo = 2;
  const QString s2 = QStringLiteral("BMPDown2");
  const QString p2 = Picture(QStringLiteral("two.bmp"), Pattern(320, 300));
  Put(QStringLiteral("PrintArea"), QStringLiteral("2"), s2);
  Put(QStringLiteral("IBPIcmd"), QStringLiteral("0"), s2);
  Put(QStringLiteral("TranceMode"), QStringLiteral("1"), s2);
  Put(QStringLiteral("CardBackColor"), QStringLiteral("1"), s2);
  Put(QStringLiteral("BufferSize"), QStringLiteral("2"), s2);
  Put(QStringLiteral("BufferSizeByte"), QStringLiteral("4096"), s2);
  Put(QStringLiteral("Line0"), QStringLiteral("top line"), s2);
  Put(QStringLiteral("FileName2"), p2, s2);
  Put(QStringLiteral("FileDir"), pics_, s2);
  Put(QStringLiteral("PrintArea"), QStringLiteral("1"));

  FormBMP& f = Open();
  EXPECT_EQ(f.printAreaIndex(), 2);
  EXPECT_EQ(Selected(QStringLiteral("OpPrArea"), 4), 2);
  EXPECT_EQ(Selected(QStringLiteral("OpIBPI")), 0);
  EXPECT_EQ(Selected(QStringLiteral("OpTranceMode")), 1);
  EXPECT_EQ(Selected(QStringLiteral("OpCdBackColor")), 1);
  EXPECT_EQ(Selected(QStringLiteral("OpBufferSize"), 3), 2);
  EXPECT_EQ(ui().Text(QStringLiteral("TxtBufferSize")), QStringLiteral("4096"));
  EXPECT_EQ(ui().Text(QStringLiteral("TxtMsgLine"), 0), QStringLiteral("top line"));
  EXPECT_EQ(ui().ToolTip(QStringLiteral("TxtMsgLine"), 0), QStringLiteral("top line"));
  EXPECT_EQ(ui().Text(QStringLiteral("TxtFilePathBox")), p2);
  EXPECT_EQ(f.picture().clipSize(), QSize(320, 300));
  EXPECT_EQ(f.bitmapFolder(), pics_);

  ui().Get<QRadioButton>(QStringLiteral("OpCdBackColor"), 0)->click();
  ui().SetText(QStringLiteral("TxtMsgLine"), 3, QStringLiteral("line three"));
  f.close();
  EXPECT_EQ(Get(QStringLiteral("CardBackColor"), s2), QStringLiteral("0"));
  EXPECT_EQ(Get(QStringLiteral("Line3"), s2), QStringLiteral("line three"));
  EXPECT_EQ(Get(QStringLiteral("PrintArea"), s2), QStringLiteral("2"));
  EXPECT_EQ(Get(QStringLiteral("BufferSizeByte"), s2), QStringLiteral("4096"));
  // The unnumbered section is another copy's.
  EXPECT_EQ(Get(QStringLiteral("PrintArea")), QStringLiteral("1"));
  EXPECT_EQ(Get(QStringLiteral("CardBackColor")), QString());
  EXPECT_EQ(mm().gStopRequest, 1);
}

TEST_F(FormBmpTest, EmptyTranceModeOpensInLibraryModeWithOneTime) {
  Put(QStringLiteral("TranceMode"), QString());
  Open();
  EXPECT_EQ(Selected(QStringLiteral("OpTranceMode")), 0);
  EXPECT_EQ(ui().Text(QStringLiteral("LbTimeDisp"), 0), QStringLiteral("File-ized+Transfer time"));
  EXPECT_TRUE(ui().Visible(QStringLiteral("LbTimeDisp"), 0));
  EXPECT_FALSE(ui().Visible(QStringLiteral("LbTimeDisp"), 1));
  EXPECT_FALSE(ui().Visible(QStringLiteral("LbTime"), 1));
  for (const char* name : {"ProgBarFileTrance", "ProgBarDataSend", "LbLineDisp", "LbSendDataDisp"})
    EXPECT_FALSE(ui().Visible(QString::fromLatin1(name))) << name;
  EXPECT_EQ(ui().Text(QStringLiteral("LbTime"), 0), QStringLiteral("--.--- s"));

  ui().Get<QRadioButton>(QStringLiteral("OpTranceMode"), 1)->click();
  EXPECT_EQ(ui().Text(QStringLiteral("LbTimeDisp"), 0), QStringLiteral("File-ized time "));
  EXPECT_EQ(ui().Text(QStringLiteral("LbTimeDisp"), 1), QStringLiteral("Transfer time"));
  EXPECT_TRUE(ui().Visible(QStringLiteral("LbTime"), 1));
  EXPECT_TRUE(ui().Visible(QStringLiteral("ProgBarDataSend")));
  // Caption, value, caption, value from the top, at 60 and 630 twips from the left.
  const int tops[] = {ui().Get<QLabel>(QStringLiteral("LbTimeDisp"), 0)->y(),
                      ui().Get<QLabel>(QStringLiteral("LbTime"), 0)->y(),
                      ui().Get<QLabel>(QStringLiteral("LbTimeDisp"), 1)->y(),
                      ui().Get<QLabel>(QStringLiteral("LbTime"), 1)->y()};
  EXPECT_TRUE(tops[0] < tops[1] && tops[1] < tops[2] && tops[2] < tops[3]);
  EXPECT_EQ(tops[1] - tops[0], 20);
  EXPECT_EQ(ui().Get<QLabel>(QStringLiteral("LbTimeDisp"), 1)->x(), 4);
  EXPECT_EQ(ui().Get<QLabel>(QStringLiteral("LbTime"), 1)->x(), 42);
}

TEST_F(FormBmpTest, MessageLinesKeep26CharactersAndShowTheirLength) {
  Put(QStringLiteral("PrintArea"), QStringLiteral("2"));
  Put(QStringLiteral("Line1"), QStringLiteral("abcdefghijklmnopqrstuvwxyz0123"));
  Open();
  EXPECT_EQ(ui().Text(QStringLiteral("TxtMsgLine"), 1), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
  EXPECT_EQ(ui().Text(QStringLiteral("lbMsgLineLen"), 1), QStringLiteral("26"));
  EXPECT_EQ(ui().ToolTip(QStringLiteral("TxtMsgLine"), 1), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));

  ui().SetText(QStringLiteral("TxtMsgLine"), 4, QString(30, QChar(0x30A2)));
  EXPECT_EQ(ui().Text(QStringLiteral("TxtMsgLine"), 4), QString(26, QChar(0x30A2)));
  EXPECT_EQ(ui().Text(QStringLiteral("lbMsgLineLen"), 4), QStringLiteral("26"));
  EXPECT_EQ(ui().ToolTip(QStringLiteral("lbMsgLineLen"), 4), QStringLiteral("26"));
  ui().SetText(QStringLiteral("TxtMsgLine"), 4, QStringLiteral("abc"));
  EXPECT_EQ(ui().Text(QStringLiteral("lbMsgLineLen"), 4), QStringLiteral("3"));
}

TEST_F(FormBmpTest, SetControlsEnabledLocksTheElevenAndFreesStop) {
  FormBMP& f = Open();
  EXPECT_FALSE(ui().Enabled(QStringLiteral("CmdStop")));  // idle
  f.SetControlsEnabled(false);
  ASSERT_EQ(JobControlNames().size(), 11);
  for (const QString& name : JobControlNames()) EXPECT_FALSE(ui().Enabled(name)) << name.toStdString();
  EXPECT_TRUE(ui().Enabled(QStringLiteral("CmdStop")));
  EXPECT_TRUE(ui().Get<QAction>(QStringLiteral("bmpDownload")) != nullptr);
  f.SetControlsEnabled(true);
  for (const QString& name : JobControlNames()) EXPECT_TRUE(ui().Enabled(name)) << name.toStdString();
  EXPECT_FALSE(ui().Enabled(QStringLiteral("CmdStop")));

  // The job buttons lock the controls while their job runs.
  bool lockedDuringJob = false;
  f.RunJob([&] { lockedDuringJob = !ui().Enabled(QStringLiteral("CmdBMPTrans")) && ui().Enabled(QStringLiteral("CmdStop")); });
  EXPECT_TRUE(lockedDuringJob);
  // The download job runs to the card print's box (answered Cancel).
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("Please Insert a card"), BoxAnswer::kCancel);
  ui().Get<QPushButton>(QStringLiteral("CmdBMPTrans"))->click();
  EXPECT_TRUE(ui().Enabled(QStringLiteral("CmdBMPTrans")));
}

TEST_F(FormBmpTest, StopwatchShowsMilliseconds) {
  FormBMP& f = Open();
  uint32_t now = 777;
  f.stopwatch().SetClock([&] { return now; });
  f.stopwatch().Start();
  now += 1234;
  f.ShowTime(0, f.stopwatch().ElapsedMs());
  EXPECT_EQ(ui().Text(QStringLiteral("LbTime"), 0), QStringLiteral("1.234 s"));
  f.ClearTime(0);
  EXPECT_EQ(ui().Text(QStringLiteral("LbTime"), 0), QStringLiteral("--.--- s"));
}

TEST_F(FormBmpTest, InvalidStoredIndexesGiveTheDefaults) {
  Put(QStringLiteral("IBPIcmd"), QStringLiteral("7"));
  Put(QStringLiteral("PrintArea"), QStringLiteral("x"));
  Put(QStringLiteral("TranceMode"), QStringLiteral("abc"));
  Put(QStringLiteral("BufferSize"), QStringLiteral("9"));
  Put(QStringLiteral("CardBackColor"), QStringLiteral("-3"));
  FormBMP& f = Open();
  EXPECT_EQ(Selected(QStringLiteral("OpIBPI")), 1);
  EXPECT_EQ(f.printAreaIndex(), 0);
  EXPECT_EQ(Selected(QStringLiteral("OpPrArea"), 4), 0);
  EXPECT_EQ(Selected(QStringLiteral("OpTranceMode")), 0);
  EXPECT_EQ(Selected(QStringLiteral("OpBufferSize"), 3), 0);
  EXPECT_EQ(Selected(QStringLiteral("OpCdBackColor")), 0);
  // Lists that are not saved start at their first items.
  EXPECT_EQ(ui().ListIndex(QStringLiteral("CmbCard")), 0);
  EXPECT_EQ(ui().Text(QStringLiteral("CmbSaveAreaNo")), QStringLiteral("1"));
  EXPECT_EQ(ui().Text(QStringLiteral("CmbZoom")), QStringLiteral("100"));
  EXPECT_EQ(ui().Text(QStringLiteral("CmbBright")), QStringLiteral("  0"));
  EXPECT_EQ(f.BrightnessOffset(), 0);
}

TEST_F(FormBmpTest, StoredTrackIsClearedByTheAreaAndKeptInTheFile) {
  Put(QStringLiteral("MagTrack"), QStringLiteral("1"));
  FormBMP& f = Open();
  EXPECT_EQ(Selected(QStringLiteral("OpMagTr")), -1);
  f.close();
  EXPECT_EQ(Get(QStringLiteral("MagTrack")), QStringLiteral("1"));
}

TEST_F(FormBmpTest, AreaThreeFileLoadsUnderItsNewName) {
  const QString renamed = Picture(QStringLiteral("Mivor_320x460_2.bmp"), Pattern(320, 465));
  Put(QStringLiteral("PrintArea"), QStringLiteral("3"));
  Put(QStringLiteral("FileName3"), pics_ + QStringLiteral("Mivor_320x465.bmp"));
  FormBMP& f = Open();
  EXPECT_EQ(ui().Text(QStringLiteral("TxtFilePathBox")), renamed);
  EXPECT_EQ(f.picture().clipSize(), QSize(320, 465));
  f.close();
  EXPECT_EQ(Get(QStringLiteral("FileName3")), renamed);
}

TEST_F(FormBmpTest, IB4FreeSelectsIbAndFormOnlyWhenTicked) {
  Open();
  auto* box = ui().Get<QAbstractButton>(QStringLiteral("ChkIB4Free"));
  box->click();
  EXPECT_EQ(Selected(QStringLiteral("OpIBPI")), 0);
  EXPECT_EQ(Selected(QStringLiteral("OpTranceMode")), 1);
  ui().Get<QRadioButton>(QStringLiteral("OpIBPI"), 1)->click();
  ui().Get<QRadioButton>(QStringLiteral("OpTranceMode"), 0)->click();
  box->click();  // cleared
  EXPECT_EQ(Selected(QStringLiteral("OpIBPI")), 1);
  EXPECT_EQ(Selected(QStringLiteral("OpTranceMode")), 0);
}

TEST_F(FormBmpTest, CardListShowsItsTextAsToolTip) {
  Open();
  auto* card = ui().Get<QComboBox>(QStringLiteral("CmbCard"));
  card->setCurrentIndex(12);
  EXPECT_EQ(card->toolTip(), card->itemText(12));
  EXPECT_EQ(CardKindCode(card->currentText()), QStringLiteral("<"));
}

TEST_F(FormBmpTest, OpeningClearsTheChannelOnlyWhenIdle) {
  mm().gSendCommand = QStringLiteral("VS");
  mm().gReplyText = QStringLiteral("AVS90x");
  mm().gLineBusy = 1;  // a download holds the line
  Open().close();
  EXPECT_EQ(mm().gSendCommand, QStringLiteral("VS"));
  EXPECT_EQ(mm().gReplyText, QStringLiteral("AVS90x"));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  mm().gLineBusy = 0;
  mm().gSendPending = 1;
  Open();
  EXPECT_EQ(mm().gSendCommand, QString());
  EXPECT_EQ(mm().gReplyText, QString());
  EXPECT_EQ(mm().gSendPending, 0);
}

TEST_F(FormBmpTest, StopSendsClAndRaisesTheFlag) {
  FormBMP& f = Open();
  mm().gStopRequest = 0;
  f.CmdStop_Click();  // port closed: comu returns at once
  EXPECT_EQ(mm().gSendCommand, QStringLiteral("CL"));
  EXPECT_EQ(mm().gStopRequest, 1);
  EXPECT_EQ(link_.Count("crwSendCommand"), 0);
}

TEST_F(FormBmpTest, MenusCloseThePortOrTheProgram) {
  QWidget mainWindow;
  mainWindow.show();
  FormBMP& f = Open(&mainWindow);
  f.show();
  mm().gStopRequest = 0;
  ui().Get<QAction>(QStringLiteral("Close"))->trigger();
  EXPECT_EQ(mm().gStopRequest, 1);
  EXPECT_TRUE(f.isVisible());  // the window stays open and usable

  mainWindow.hide();
  ui().Get<QAction>(QStringLiteral("showForm1"))->trigger();
  EXPECT_TRUE(mainWindow.isVisible());

  mm().gStopRequest = 0;
  ui().Get<QAction>(QStringLiteral("Quit"))->trigger();
  EXPECT_EQ(mm().gStopRequest, 1);
  EXPECT_FALSE(mainWindow.isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form_.isNull());
}

TEST_F(FormBmpTest, ClosingDuringAJobWaitsForItsEnd) {
  FormBMP& f = Open();
  f.show();
  bool hiddenInJob = false;
  f.RunJob([&] {
    f.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    hiddenInJob = !form_.isNull() && !f.isVisible();
  });
  EXPECT_TRUE(hiddenInJob);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form_.isNull());
  EXPECT_EQ(Get(QStringLiteral("PrintArea")), QStringLiteral("0"));  // saved at the close
}

TEST_F(FormBmpTest, AreaChangeClearsTrackShowsRowsAndLoadsItsFile) {
  const QString p0 = Picture(QStringLiteral("zero.bmp"), Pattern(320, 460));
  const QString p2 = Picture(QStringLiteral("two.bmp"), Pattern(320, 300));
  Put(QStringLiteral("FileName0"), p0);
  Put(QStringLiteral("FileName2"), p2);
  FormBMP& f = Open();
  EXPECT_EQ(f.picture().clipSize(), QSize(320, 460));
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(ui().Visible(QStringLiteral("TxtMsgLine"), i));
  ui().Get<QRadioButton>(QStringLiteral("OpMagTr"), 0)->click();
  ASSERT_EQ(Selected(QStringLiteral("OpMagTr")), 0);

  ui().Get<QRadioButton>(QStringLiteral("OpPrArea"), 2)->click();
  EXPECT_EQ(Selected(QStringLiteral("OpMagTr")), -1);
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(ui().Visible(QStringLiteral("lbMsgInfo"), i)) << i;
    EXPECT_TRUE(ui().Visible(QStringLiteral("TxtMsgLine"), i)) << i;
    EXPECT_TRUE(ui().Visible(QStringLiteral("lbMsgLineLen"), i)) << i;
  }
  EXPECT_EQ(ui().Text(QStringLiteral("TxtFilePathBox")), p2);
  EXPECT_EQ(f.picture().clipSize(), QSize(320, 300));
  EXPECT_EQ(f.printArea().lastRow, 299);
  EXPECT_EQ(f.printArea().rowOffset, 60);
  EXPECT_EQ(f.picture().view().size(), QSize(320, 300));
  auto* box = ui().Get<QFrame>(QStringLiteral("PicBMPField"));
  EXPECT_EQ(box->contentsRect().size(), QSize(320, 300));
}

TEST_F(FormBmpTest, FileDialogCancelAndChosenFolder) {
  const QString p0 = Picture(QStringLiteral("zero.bmp"), Pattern(320, 460));
  Put(QStringLiteral("FileName0"), p0);
  Put(QStringLiteral("FileDir"), pics_);
  FormBMP& f = Open();
  dialogs_.ExpectOpenFile(QString());  // cancel
  f.CmdFileRead_Click();
  ASSERT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_EQ(dialogs_.recorded()[0].title, QStringLiteral("ファイル選択"));
  EXPECT_EQ(dialogs_.recorded()[0].text, pics_);  // starts in the bitmap folder
  EXPECT_EQ(ui().Text(QStringLiteral("TxtFilePathBox")), p0);
  EXPECT_EQ(f.fileNames()[0], p0);
  EXPECT_EQ(f.bitmapFolder(), pics_);

  // A folder whose name holds the file's title: the folder is the directory part.
  const QString folder = pics_ + QStringLiteral("logo.bmp.d/");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString chosen = folder + QStringLiteral("logo.bmp");
  ASSERT_TRUE(testing::WriteFile(chosen, testing::BmpOf(Pattern(100, 50))));
  dialogs_.ExpectOpenFile(chosen);
  f.CmdFileRead_Click();
  EXPECT_EQ(f.bitmapFolder(), folder);
  EXPECT_EQ(f.fileNames()[0], chosen);
  EXPECT_EQ(ui().Text(QStringLiteral("TxtFilePathBox")), chosen);
  EXPECT_EQ(f.picture().clipSize(), QSize(100, 50));
  f.close();
  EXPECT_EQ(Get(QStringLiteral("FileName0")), chosen);
}

TEST_F(FormBmpTest, CorruptOrMissingFileKeepsThePicture) {
  const QString p0 = Picture(QStringLiteral("zero.bmp"), Pattern(320, 460));
  Put(QStringLiteral("FileName0"), p0);
  FormBMP& f = Open();
  const QImage before = f.picture().picture();
  const QString bad = pics_ + QStringLiteral("bad.bmp");
  ASSERT_TRUE(testing::WriteFile(bad, QByteArray("BM") + QByteArray(100, '\x7f')));
  ui().SetText(QStringLiteral("TxtFilePathBox"), bad);
  f.CmdBMPFileDisp_Click();
  EXPECT_EQ(f.picture().picture(), before);
  ui().SetText(QStringLiteral("TxtFilePathBox"), pics_ + QStringLiteral("none.bmp"));
  f.CmdBMPFileDisp_Click();
  EXPECT_EQ(f.picture().picture(), before);
  // Typed paths are shown, never stored in the table.
  EXPECT_EQ(f.fileNames()[0], p0);
}

TEST_F(FormBmpTest, ZoomAndScrollBarsThroughTheLists) {
  const QString small = Picture(QStringLiteral("small.bmp"), Pattern(160, 230));
  Put(QStringLiteral("FileName0"), small);
  FormBMP& f = Open();
  auto* h = ui().Get<QScrollBar>(QStringLiteral("HScrollLandscape"));
  auto* v = ui().Get<QScrollBar>(QStringLiteral("VScrollPortrait"));
  // After the load the bars' maxima follow the area.
  EXPECT_EQ(h->maximum(), 319);
  EXPECT_EQ(v->maximum(), 459);
  EXPECT_EQ(h->value(), 0);
  auto* zoom = ui().Get<QComboBox>(QStringLiteral("CmbZoom"));
  zoom->setCurrentIndex(zoom->findText(QStringLiteral("200")));
  EXPECT_EQ(f.picture().stretchSize(), QSize(320, 460));
  EXPECT_EQ(h->maximum(), 1);
  EXPECT_EQ(v->maximum(), 1);
  EXPECT_EQ(h->value(), 0);
  const QImage doubled = testing::PixelMultiplied(Pattern(160, 230), 2);
  EXPECT_EQ(f.picture().view().pixel(319, 459) & 0xFFFFFF, doubled.pixel(319, 459) & 0xFFFFFF);
  // Moving a bar repaints the view from the new column.
  h->setValue(1);
  EXPECT_EQ(f.picture().view().pixel(0, 0) & 0xFFFFFF, doubled.pixel(1, 0) & 0xFFFFFF);

  // Enter in the zoom list moves on to the transmit button.
  f.show();
  zoom->setFocus();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(zoom, &enter);
  EXPECT_EQ(f.focusWidget(), ui().Get<QWidget>(QStringLiteral("CmdBMPTrans")));
}

TEST_F(FormBmpTest, ClipboardPictureOnDoubleClick) {
  const QString p0 = Picture(QStringLiteral("zero.bmp"), Pattern(320, 460));
  Put(QStringLiteral("FileName0"), p0);
  FormBMP& f = Open();
  QGuiApplication::clipboard()->setImage(Pattern(64, 32));
  f.PicBMPField_DblClick();
  EXPECT_EQ(f.picture().clipSize(), QSize(64, 32));
  EXPECT_EQ(ui().Text(QStringLiteral("TxtFilePathBox")), p0);  // the path box stays
  QGuiApplication::clipboard()->clear();
  f.PicBMPField_DblClick();  // no picture on the clipboard: the file again
  EXPECT_EQ(f.picture().clipSize(), QSize(320, 460));
  f.CmdCilpDisp_Click();  // nothing to take
  EXPECT_EQ(f.picture().clipSize(), QSize(320, 460));
}

TEST_F(FormBmpTest, DroppedFileFillsThePathBoxOnly) {
  const QString p0 = Picture(QStringLiteral("zero.bmp"), Pattern(320, 460));
  const QString other = Picture(QStringLiteral("other.bmp"), Pattern(50, 50));
  Put(QStringLiteral("FileName0"), p0);
  FormBMP& f = Open();
  auto* box = ui().Get<QLineEdit>(QStringLiteral("TxtFilePathBox"));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(other), QUrl::fromLocalFile(p0)});
  f.show();
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(box->text(), other);
  EXPECT_EQ(box->toolTip(), other);
  EXPECT_EQ(box->cursorPosition(), other.size());
  EXPECT_EQ(f.picture().clipSize(), QSize(320, 460));  // shown only when asked
  EXPECT_EQ(f.fileNames()[0], p0);
}

TEST_F(FormBmpTest, ConversionInputsComeFromTheWindow) {
  const QString p0 = Picture(QStringLiteral("zero.bmp"), Pattern(320, 460));
  Put(QStringLiteral("FileName0"), p0);
  FormBMP& f = Open();
  auto* bright = ui().Get<QComboBox>(QStringLiteral("CmbBright"));
  bright->setCurrentIndex(10);
  EXPECT_EQ(f.BrightnessOffset(), 50);
  EXPECT_EQ(f.DotThresholds().upper, 242);
  bright->setCurrentIndex(0);
  EXPECT_EQ(f.DotThresholds().lower, 14);
  f.PictureRefresh();
  const printdata::RgbView px = f.picture().viewPixels();
  EXPECT_EQ(px.width, 320);
  EXPECT_EQ(px.height, 460);
  // The last column of the area is in the view: the downloads print it.
  const QImage src = Pattern(320, 460);
  const uint8_t* last = px.data + px.stride * 459 + 319 * 3;
  EXPECT_EQ(last[0], qRed(src.pixel(319, 459)));
  EXPECT_EQ(last[1], qGreen(src.pixel(319, 459)));
  EXPECT_EQ(last[2], qBlue(src.pixel(319, 459)));
}

}  // namespace
}  // namespace quorel
