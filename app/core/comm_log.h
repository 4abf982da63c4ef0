// The communication log behind the main window's log box: newest entry on
// top, the older text cut to 13000 characters before each new entry goes in
// front. The model holds the exact text; the box is refreshed from it at
// most once per throttle interval (plus at once on Flush), so a burst of
// entries costs one repaint per interval rather than one per line.
#pragma once
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <functional>

namespace quorel {

class CommLog {
 public:
  // show receives the whole text and the tool tip of the newest entry.
  using Show = std::function<void(const QString& text, const QString& toolTip)>;
  static constexpr int kKeptChars = 13000;
  static constexpr int kThrottleMs = 50;

  explicit CommLog(Show show, int throttleMs = kThrottleMs);
  CommLog(const CommLog&) = delete;
  CommLog& operator=(const CommLog&) = delete;

  // One entry (logDisp): entry & CR LF & the first 13000 characters of the
  // old text; the tool tip is the entry without outer blanks & " [" & its
  // CP932 byte length & "]".
  void Add(const QString& entry);
  // Shows what is not shown yet, now.
  void Flush();
  // Empties the log (the console's display reset).
  void Clear();

  const QString& text() const { return text_; }
  const QString& toolTip() const { return toolTip_; }
  // How many times the box was refreshed.
  int refreshes() const { return refreshes_; }

 private:
  void Refresh();

  Show show_;
  int throttleMs_;
  QString text_;
  QString toolTip_;
  bool dirty_ = false;
  int refreshes_ = 0;
  QElapsedTimer sinceRefresh_;
  QTimer later_;
};

}  // namespace quorel
