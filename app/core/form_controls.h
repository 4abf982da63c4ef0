// The controls of a window as its handlers address them: by name and, for an
// element of a control array, by index ("Command1" 21). Handlers written
// against this interface run on real widgets (WidgetControls) and, in tests,
// on a plain table of values.
#pragma once
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "core/colour_values.h"

class QLineEdit;

namespace quorel {

// Fills a text box as the program does: the box shows the start of its text
// (cursor at 0), so a long text shows its first characters. While the user
// types in the box (it has the focus) the cursor stays where the user has it.
void SetBoxText(QLineEdit* box, const QString& text);

class FormControls {
 public:
  virtual ~FormControls() = default;

  // A label's caption, a text box's or combo box's text, a button's caption.
  // A text box set here shows the start of its text (SetBoxText).
  virtual QString Text(const QString& name, int index = -1) const = 0;
  // Setting a value runs the control's change handler, as the user's edit does.
  virtual void SetText(const QString& name, int index, const QString& text) = 0;
  virtual QString ToolTip(const QString& name, int index = -1) const = 0;
  virtual void SetToolTip(const QString& name, int index, const QString& text) = 0;
  // Check box 0 unticked, 1 ticked, 2 greyed; option button and menu check
  // mark 1 selected, 0 not.
  virtual int Value(const QString& name, int index = -1) const = 0;
  virtual void SetValue(const QString& name, int index, int value) = 0;
  virtual bool Enabled(const QString& name, int index = -1) const = 0;
  virtual void SetEnabled(const QString& name, int index, bool enabled) = 0;
  virtual bool Visible(const QString& name, int index = -1) const = 0;
  virtual void SetVisible(const QString& name, int index, bool visible) = 0;
  // Colours as &HBBGGRR values or system colours (see colour_values.h).
  virtual void SetBackColor(const QString& name, int index, uint32_t bgr) = 0;
  virtual void SetForeColor(const QString& name, int index, uint32_t bgr) = 0;
  // The entries of a list or combo box.
  virtual QStringList Items(const QString& name, int index = -1) const = 0;
  // Inserts an entry at position (0 = top); the text shown stays as it was.
  virtual void InsertItem(const QString& name, int index, int position, const QString& text) = 0;
  // Selects an entry (runs the change handler); -1 selects none.
  virtual void SetListIndex(const QString& name, int index, int listIndex) = 0;
  virtual int ListIndex(const QString& name, int index = -1) const = 0;
  virtual void Focus(const QString& name, int index = -1) = 0;

  // Single controls.
  void SetText(const QString& name, const QString& text) { SetText(name, -1, text); }
  void SetValue(const QString& name, int value) { SetValue(name, -1, value); }
  void SetEnabled(const QString& name, bool enabled) { SetEnabled(name, -1, enabled); }
  void SetVisible(const QString& name, bool visible) { SetVisible(name, -1, visible); }
  bool Ticked(const QString& name, int index = -1) const { return Value(name, index) == 1; }
};

// The key a control is registered under: its name, with "_" and the index
// for an element of a control array ("Command1_21").
QString ControlKey(const QString& name, int index);

// FormControls over Qt widgets and menu actions found by objectName. Text
// and value changes made through it raise the widgets' own signals, so the
// handlers connected to toggled, textChanged and currentIndexChanged run;
// a label has no such signal, so a caption change calls the label hook.
class WidgetControls : public FormControls {
 public:
  WidgetControls() = default;

  // Registers every object under root (root included) that has an objectName.
  void AddTree(QObject* root);
  void Add(QObject* object);
  // The object registered under that name and index, or nullptr.
  QObject* Find(const QString& name, int index = -1) const;
  template <typename T>
  T* Get(const QString& name, int index = -1) const {
    return qobject_cast<T*>(Find(name, index));
  }
  // Called after a label's caption is set through SetText.
  void SetLabelHook(std::function<void(const QString& key)> hook) { labelHook_ = std::move(hook); }

  QString Text(const QString& name, int index = -1) const override;
  void SetText(const QString& name, int index, const QString& text) override;
  QString ToolTip(const QString& name, int index = -1) const override;
  void SetToolTip(const QString& name, int index, const QString& text) override;
  int Value(const QString& name, int index = -1) const override;
  void SetValue(const QString& name, int index, int value) override;
  bool Enabled(const QString& name, int index = -1) const override;
  void SetEnabled(const QString& name, int index, bool enabled) override;
  bool Visible(const QString& name, int index = -1) const override;
  void SetVisible(const QString& name, int index, bool visible) override;
  void SetBackColor(const QString& name, int index, uint32_t bgr) override;
  void SetForeColor(const QString& name, int index, uint32_t bgr) override;
  QStringList Items(const QString& name, int index = -1) const override;
  void InsertItem(const QString& name, int index, int position, const QString& text) override;
  void SetListIndex(const QString& name, int index, int listIndex) override;
  int ListIndex(const QString& name, int index = -1) const override;
  void Focus(const QString& name, int index = -1) override;

  using FormControls::SetEnabled;
  using FormControls::SetText;
  using FormControls::SetValue;
  using FormControls::SetVisible;

 private:
  // A missing control is a programming error; it is reported once and ignored.
  QObject* Need(const QString& name, int index) const;

  QHash<QString, QPointer<QObject>> objects_;
  std::function<void(const QString&)> labelHook_;
};

}  // namespace quorel
