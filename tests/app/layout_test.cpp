// Every window of the program, in each of its layouts and on each tab page,
// drawn with the fonts of this machine: every caption and short value fits
// the room its control gives it, and no control sticks out of its parent
// except where a compact layout hides the part beyond its edge on purpose.
// A picture of each view goes to the build folder for the eye.
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <utility>

#include "core/main_module.h"
#include "core/window_registry.h"
#include "eeprom/form_eep_save_msg.h"
#include "main_window_fixture.h"
#include "support/scripted_dialogs.h"

namespace quorel {
namespace {

// The room a control's text needs and the room the control gives it, in
// pixels; all 0 when the control shows no text to check.
struct Room {
  QString text;
  QSize needs, has;
  QRect drawn;  // where the text is drawn, in the control's coordinates
};

// A push button's text fits inside its frame; a check box or option button
// needs what its own size hint asks for: indicator, spacing, text, margin.
Room ButtonRoom(QAbstractButton* b) {
  QStyle::SubElement contents = QStyle::SE_PushButtonContents;
  if (qobject_cast<QCheckBox*>(b))
    contents = QStyle::SE_CheckBoxContents;
  else if (qobject_cast<QRadioButton*>(b))
    contents = QStyle::SE_RadioButtonContents;
  else if (!qobject_cast<QPushButton*>(b))
    return {};
  QStyleOptionButton opt;
  opt.initFrom(b);
  opt.text = b->text();
  opt.icon = b->icon();
  opt.iconSize = b->iconSize();
  const QRect r = b->style()->subElementRect(contents, &opt, b);
  QSize text = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
  if (contents != QStyle::SE_PushButtonContents) {
    // Leading blanks leave room for a control placed over them.
    int blanks = 0;
    while (blanks < b->text().size() && b->text().at(blanks).isSpace()) ++blanks;
    QRect drawn = QStyle::alignedRect(b->layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter, text, r);
    drawn.setLeft(drawn.left() + b->fontMetrics().horizontalAdvance(b->text().left(blanks)));
    return {b->text(), QSize(b->sizeHint().width(), text.height()), QSize(b->width(), r.height()), drawn};
  }
  if (!b->icon().isNull()) text.rwidth() += b->iconSize().width() + 4;
  return {b->text(), text, r.size(), QStyle::alignedRect(b->layoutDirection(), Qt::AlignCenter, text, r)};
}

// The text area as QLineEdit lays it out: the style's contents, less the
// text margins and the editor's own 2 pixels a side; the caret takes one
// more pixel after the text.
Room EditRoom(QLineEdit* e) {
  if (e->text().size() > 16 || e->echoMode() != QLineEdit::Normal) return {};
  QStyleOptionFrame opt;
  opt.initFrom(e);
  opt.rect = e->contentsRect();
  opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
  opt.state |= QStyle::State_Sunken;
  const QRect r = e->style()
                      ->subElementRect(QStyle::SE_LineEditContents, &opt, e)
                      .marginsRemoved(e->textMargins())
                      .adjusted(2, 1, -2, -1);
  const QFontMetrics fm = e->fontMetrics();
  return {e->text(), QSize(fm.horizontalAdvance(e->text()) + 1, fm.height()), r.size(), QRect()};
}

// The text area as QLabel lays it out: contents less margin, and the indent
// a framed label keeps on its aligned side.
Room LabelRoom(QLabel* l) {
  const QString text = l->text();
  if (text.isEmpty() || l->textFormat() == Qt::RichText || l->textFormat() == Qt::MarkdownText ||
      (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
    return {};
  const QFontMetrics fm = l->fontMetrics();
  const int m = l->margin();
  QRect r = l->contentsRect().adjusted(m, m, -m, -m);
  int indent = l->indent();
  if (indent < 0) indent = l->frameWidth() > 0 ? fm.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
  const Qt::Alignment a = l->alignment();
  if (a & Qt::AlignLeft) r.setLeft(r.left() + indent);
  if (a & Qt::AlignRight) r.setRight(r.right() - indent);
  if (a & Qt::AlignTop) r.setTop(r.top() + indent);
  if (a & Qt::AlignBottom) r.setBottom(r.bottom() - indent);
  const int flags = Qt::TextExpandTabs | (l->wordWrap() ? Qt::TextWordWrap : 0);
  const QSize needs = l->wordWrap() ? fm.boundingRect(QRect(0, 0, r.width(), 1 << 20), flags, text).size()
                                    : fm.size(flags, text);
  return {text, needs, r.size(), QStyle::alignedRect(l->layoutDirection(), a, needs, r)};
}

Room RoomOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return ButtonRoom(b);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return EditRoom(e);
  if (auto* l = qobject_cast<QLabel*>(w)) return LabelRoom(l);
  return {};
}

// The objectName, or the class and where it sits for a control without one.
QString NameOf(const QWidget* w) {
  if (!w->objectName().isEmpty() || !w->parentWidget()) return w->objectName();
  return QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" in ") + NameOf(w->parentWidget());
}

// One window in one of its layouts.
class View {
 public:
  View(QWidget* window, QString name, bool compact) : window_(window), name_(std::move(name)), compact_(compact) {}

  // Checks the view on every page of every tab strip, then as it was.
  void CheckEveryPage(QStringList* faults) {
    Settle();
    Check(QString(), faults);
    for (QTabWidget* tabs : window_->findChildren<QTabWidget*>()) {
      if (!tabs->isVisible()) continue;
      const int was = tabs->currentIndex();
      for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        Settle();
        Check(tabs->tabText(i).simplified(), faults);
      }
      tabs->setCurrentIndex(was);
      Settle();
    }
  }

 private:
  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::sendPostedEvents();
      QApplication::processEvents();
    }
  }

  void Check(const QString& page, QStringList* faults) {
    const QString where = page.isEmpty() ? name_ : name_ + QStringLiteral(" [") + page + QLatin1Char(']');
    Shoot(where);
    for (QWidget* w : window_->findChildren<QWidget*>()) {
      if (!w->isVisible()) continue;
      QString fault = Outside(w);
      if (fault.isEmpty() && !w->visibleRegion().isEmpty()) fault = TextFault(w);
      if (fault.isEmpty()) fault = Covered(w);
      if (!fault.isEmpty()) {
        fault = where + QLatin1Char('/') + NameOf(w) + QStringLiteral(": ") + fault;
        if (!faults->contains(fault)) faults->append(fault);
      }
    }
  }

  QString TextFault(QWidget* w) const {
    if (auto* bar = qobject_cast<QTabBar*>(w)) {
      for (int i = 0; i < bar->count(); ++i) {
        QStyleOptionTab opt;
        opt.initFrom(bar);
        opt.rect = bar->tabRect(i);
        opt.shape = bar->shape();
        opt.text = bar->tabText(i);
        const int has = bar->style()->subElementRect(QStyle::SE_TabBarTabText, &opt, bar).width();
        const int needs = bar->fontMetrics().size(Qt::TextShowMnemonic, opt.text).width();
        if (!bar->rect().contains(opt.rect))
          return QStringLiteral("tab \"%1\" lies beyond the tab strip").arg(opt.text.simplified());
        if (has < needs)
          return QStringLiteral("tab \"%1\" (needs %2 px, has %3 px)").arg(opt.text.simplified()).arg(needs).arg(has);
      }
      return {};
    }
    const Room r = RoomOf(w);
    if (r.needs.width() > r.has.width())
      return QStringLiteral("\"%1\" (needs %2 px, has %3 px)").arg(r.text).arg(r.needs.width()).arg(r.has.width());
    if (r.needs.height() > r.has.height())
      return QStringLiteral("\"%1\" (needs %2 px high, has %3 px)")
          .arg(r.text)
          .arg(r.needs.height())
          .arg(r.has.height());
    return {};
  }

  // A control placed in the blanks of a caption (a box between "Mag." and
  // "Char") covers none of its characters.
  static bool OnlyOverBlanks(QWidget* w, const Room& r, const QRect& drawn, const QRect& sibling) {
    const QFontMetrics fm = w->fontMetrics();
    const QString& t = r.text;
    for (int i = 0; i < t.size();) {
      if (t.at(i).isSpace()) {
        ++i;
        continue;
      }
      int j = i;
      while (j < t.size() && !t.at(j).isSpace()) ++j;
      const int left = drawn.left() + fm.horizontalAdvance(t.left(i));
      const int right = drawn.left() + fm.horizontalAdvance(t.left(j));
      if (sibling.left() < right && sibling.right() >= left) return false;
      i = j;
    }
    return true;
  }

  // A caption that a sibling control is drawn over.
  static QString Covered(QWidget* w) {
    const Room r = RoomOf(w);
    if (r.drawn.isEmpty() || !w->parentWidget()) return {};
    const QRect drawn = r.drawn.translated(w->pos());
    for (QWidget* s : w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      // A sibling that encloses the whole control is its backdrop or overlay.
      if (s == w || !s->isVisible() || s->isWindow() || !s->geometry().intersects(drawn) ||
          s->geometry().contains(w->geometry()) || OnlyOverBlanks(w, r, drawn, s->geometry()))
        continue;
      return QStringLiteral("\"%1\" is drawn over by %2").arg(r.text, NameOf(s));
    }
    return {};
  }

  // A control beyond its parent's edge. A compact layout cuts its
  // containers on purpose and leaves controls wholly beyond its edge, but
  // never cuts a control through.
  QString Outside(QWidget* w) const {
    QWidget* p = w->parentWidget();
    if (!p || w->isWindow()) return {};
    if (auto* area = qobject_cast<QAbstractScrollArea*>(p->parentWidget()); area && area->viewport() == p) return {};
    const QRect g = w->geometry();
    if (p->rect().contains(g)) return {};
    if (compact_) {
      const QRegion seen = w->visibleRegion();
      if (RoomOf(w).text.isEmpty() || seen.isEmpty() || seen == QRegion(w->rect())) return {};
    }
    return QStringLiteral("sticks out of %1 (%2,%3 %4x%5 in %6x%7)")
        .arg(NameOf(p))
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(p->width())
        .arg(p->height());
  }

  void Shoot(const QString& where) const {
    const QString dir = QStringLiteral(QUOREL_SCREENSHOT_DIR "/layout");
    QDir().mkpath(dir);
    QString file = where;
    file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]+")), QStringLiteral("_"));
    window_->grab().save(dir + QLatin1Char('/') + file + QStringLiteral(".png"));
  }

  QWidget* window_;
  QString name_;
  bool compact_;
};

class Layout : public testing::MainWindowTest {};

TEST_F(Layout, EveryTextFitsItsControlInEveryWindowAndTab) {
  // The Japanese captions are measured in the face the machine draws them
  // with (scripts/install-deps installs it).
  ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("IPAGothic")))
      << "fonts-ipafont-gothic is missing: run scripts/install-deps";
  FreshSettings();
  StartDevice();
  Control("device standard");
  Control("model mivor");
  Control("version Mivor07.02");
  testing::ScriptedDialogs dialogs;
  Start();
  QStringList faults;

  View(form_, QStringLiteral("MainForm compact"), true).CheckEveryPage(&faults);
  mm().gAdminMode = 1;
  form_->enLarge_Click();
  ASSERT_FALSE(form_->compactShown());
  View(form_, QStringLiteral("MainForm"), false).CheckEveryPage(&faults);

  WindowRegistry& windows = form_->windows();
  for (const QString& name : windows.Names()) {
    watchdog_.start(20000);  // each window in its own time
    QWidget* w = windows.Load(name);
    if (name == QLatin1String("FormMemorySW"))  // it reads the switches once it is shown
      dialogs.ExpectBox(QStringLiteral("Memory Switch"),
                        QStringLiteral("現在の状態を取得します。\r\nカードリーダーを接続してください。\r\n"
                                       "ＯＫをクリックすると開始します。"),
                        BoxAnswer::kOk);
    ASSERT_TRUE(w) << name.toStdString();
    w->show();
    // The EEPROM window's normal layout shows the left part of each tab.
    auto* enlarge = w->findChild<QCheckBox*>(QStringLiteral("ChkEnlarge_0"));
    View(w, name, enlarge != nullptr).CheckEveryPage(&faults);
    if (enlarge) {
      enlarge->setChecked(true);
      View(w, name + QStringLiteral(" wide"), false).CheckEveryPage(&faults);
    }
    w->close();
  }
  eep::FormEEPSaveMsg prompt;
  prompt.show();
  View(&prompt, prompt.objectName(), false).CheckEveryPage(&faults);

  EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n" << faults.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace quorel
