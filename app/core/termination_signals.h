// SIGTERM and SIGINT end the program the way closing its main window does
// (the Linux form of the end-of-session close a desktop sends), so the close
// sequence runs and saves its keys. The signal handler only writes a byte
// into a pipe; the GUI thread reads it and acts between other events.
#pragma once
#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace quorel {

class TerminationSignals : public QObject {
 public:
  // onSignal runs on the GUI thread for each signal that arrives. One object
  // at a time; its destruction restores the previous handlers.
  explicit TerminationSignals(std::function<void()> onSignal);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  bool active() const { return notifier_ != nullptr; }

 private:
  void Drain();

  std::function<void()> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace quorel
