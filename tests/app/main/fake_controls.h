// The controls of a window as a plain table, for driving handlers without
// widgets. A control springs into being when first touched; a check box is
// unticked, visible and enabled until set otherwise.
#pragma once
#include <QMap>
#include <QString>
#include <QStringList>

#include "core/form_controls.h"

namespace quorel::testing {

class FakeControls : public FormControls {
 public:
  struct Control {
    QString text, toolTip;
    int value = 0;
    bool enabled = true, visible = true;
    uint32_t back = kButtonFace, fore = 0;
    QStringList items;
    int listIndex = -1;
  };

  QString Text(const QString& n, int i = -1) const override { return Get(n, i).text; }
  void SetText(const QString& n, int i, const QString& t) override { At(n, i).text = t; }
  QString ToolTip(const QString& n, int i = -1) const override { return Get(n, i).toolTip; }
  void SetToolTip(const QString& n, int i, const QString& t) override { At(n, i).toolTip = t; }
  int Value(const QString& n, int i = -1) const override { return Get(n, i).value; }
  void SetValue(const QString& n, int i, int v) override { At(n, i).value = v; }
  bool Enabled(const QString& n, int i = -1) const override { return Get(n, i).enabled; }
  void SetEnabled(const QString& n, int i, bool e) override { At(n, i).enabled = e; }
  bool Visible(const QString& n, int i = -1) const override { return Get(n, i).visible; }
  void SetVisible(const QString& n, int i, bool v) override { At(n, i).visible = v; }
  void SetBackColor(const QString& n, int i, uint32_t c) override { At(n, i).back = c; }
  void SetForeColor(const QString& n, int i, uint32_t c) override { At(n, i).fore = c; }
  QStringList Items(const QString& n, int i = -1) const override { return Get(n, i).items; }
  void InsertItem(const QString& n, int i, int pos, const QString& t) override { At(n, i).items.insert(pos, t); }
  void SetListIndex(const QString& n, int i, int li) override {
    Control& c = At(n, i);
    c.listIndex = li;
    c.text = li >= 0 && li < c.items.size() ? c.items[li] : QString();
  }
  int ListIndex(const QString& n, int i = -1) const override { return Get(n, i).listIndex; }
  void Focus(const QString& n, int i = -1) override { focused = ControlKey(n, i); }

  using FormControls::SetText;
  using FormControls::SetValue;

  Control& At(const QString& n, int i = -1) { return controls[ControlKey(n, i)]; }
  Control Get(const QString& n, int i = -1) const { return controls.value(ControlKey(n, i)); }

  QMap<QString, Control> controls;
  QString focused;
};

}  // namespace quorel::testing
