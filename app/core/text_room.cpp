#include "core/text_room.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

namespace quorel {
namespace {

// Longer texts in a text box are typed, not designed: the box scrolls them.
constexpr int kShortValue = 16;

QSize ButtonRoom(const QAbstractButton* b) {
  if (b->text().isEmpty()) return {};
  const QFontMetrics fm = b->fontMetrics();
  if (qobject_cast<const QCheckBox*>(b) || qobject_cast<const QRadioButton*>(b)) {
    // Indicator, spacing, text and the margin after it, as the box itself asks.
    const QStyle::PixelMetric indicator =
        qobject_cast<const QCheckBox*>(b) ? QStyle::PM_IndicatorHeight : QStyle::PM_ExclusiveIndicatorHeight;
    return {b->sizeHint().width(), qMax(fm.height(), b->style()->pixelMetric(indicator, nullptr, b))};
  }
  if (!qobject_cast<const QPushButton*>(b)) return {};
  // The text within the frame the style draws around it.
  QStyleOptionButton opt;
  opt.initFrom(b);
  opt.text = b->text();
  const QRect contents = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
  QSize text = fm.size(Qt::TextShowMnemonic, b->text());
  if (!b->icon().isNull()) text.rwidth() += b->iconSize().width() + 4;
  return text + b->size() - contents.size();
}

QSize LabelRoom(const QLabel* l) {
  const QString text = l->text();
  if (text.isEmpty() || l->textFormat() == Qt::RichText || l->textFormat() == Qt::MarkdownText ||
      (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
    return {};
  const QFontMetrics fm = l->fontMetrics();
  // Frame, margin, and the indent a framed label keeps on its aligned sides.
  int indent = l->indent();
  if (indent < 0) indent = l->frameWidth() > 0 ? fm.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
  const Qt::Alignment a = l->alignment();
  const QSize frame = l->size() - l->contentsRect().size();
  const int across = frame.width() + 2 * l->margin() + ((a & Qt::AlignLeft) ? indent : 0) +
                     ((a & Qt::AlignRight) ? indent : 0);
  const int down = frame.height() + 2 * l->margin() + ((a & Qt::AlignTop) ? indent : 0) +
                   ((a & Qt::AlignBottom) ? indent : 0);
  if (!l->wordWrap()) return fm.size(Qt::TextExpandTabs, text) + QSize(across, down);
  const QRect wrapped =
      fm.boundingRect(QRect(0, 0, l->width() - across, 1 << 20), Qt::TextWordWrap | Qt::TextExpandTabs, text);
  return {qMax(l->width(), wrapped.width() + across), wrapped.height() + down};
}

QSize EditRoom(const QLineEdit* e) {
  const QString text = e->text();
  if (text.isEmpty() || text.size() > kShortValue || e->echoMode() != QLineEdit::Normal) return {};
  QStyleOptionFrame opt;
  opt.initFrom(e);
  opt.rect = e->contentsRect();
  opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
  opt.state |= QStyle::State_Sunken;
  // The editor keeps 2 pixels a side and 1 above and below; the caret takes
  // one more after the text.
  const QRect r = e->style()
                      ->subElementRect(QStyle::SE_LineEditContents, &opt, e)
                      .marginsRemoved(e->textMargins())
                      .adjusted(2, 1, -2, -1);
  const QFontMetrics fm = e->fontMetrics();
  return QSize(fm.horizontalAdvance(text) + 1, fm.height()) + e->size() - r.size();
}

}  // namespace

QSize TextRoom(const QWidget* control) {
  if (auto* b = qobject_cast<const QAbstractButton*>(control)) return ButtonRoom(b);
  if (auto* e = qobject_cast<const QLineEdit*>(control)) return EditRoom(e);
  if (auto* l = qobject_cast<const QLabel*>(control)) return LabelRoom(l);
  return {};
}

QRect PlaceFitted(QWidget* control, const QRect& designed) {
  control->setGeometry(designed);
  const QSize room = TextRoom(control);
  if (room.isEmpty()) return designed;
  const QRect fitted(designed.topLeft(), designed.size().expandedTo(room));
  control->setGeometry(fitted);
  return fitted;
}

void FitChildren(QWidget* container) {
  for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isWindow()) PlaceFitted(child, child->geometry());
}

QSize RoomForChildren(const QWidget* container, const QSize& designed, int margin) {
  QSize room = designed;
  for (const QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRect g = child->geometry();
    if (child->isWindow() || g.x() >= designed.width() || g.y() >= designed.height()) continue;
    if (g.right() >= designed.width()) room.setWidth(qMax(room.width(), g.right() + 1 + margin));
    if (g.bottom() >= designed.height()) room.setHeight(qMax(room.height(), g.bottom() + 1 + margin));
  }
  return room;
}

}  // namespace quorel
