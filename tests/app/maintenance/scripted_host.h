// A device channel for the service sequences without a line: each command
// gets the reply text the test's device function gives ("AVS90Mivor V1.20"),
// decoded into the table of controls and the shared state as the channel's
// comu does. An empty reply leaves the exchange without an answer, as a
// time-out does. A comu asked for while another waits is refused, as the
// channel refuses it; hooks run "during the wait", where a click arrives.
#pragma once
#include <QString>
#include <functional>
#include <vector>

#include "core/job_host.h"
#include "core/main_module.h"
#include "core/message_tables.h"
#include "core/reply_decoders.h"
#include "main/fake_controls.h"

namespace quorel::testing {

// The shared state of a fresh start (message tables filled) with the port
// open and an "A" answer as the last reply.
inline void FreshStateWithOpenPort() {
  mm() = MainModule{};
  InitMessageTables();
  mm().gPortOpen = -1;
  mm().gReplyKind = QStringLiteral("A");
}

class ScriptedHost : public JobHost {
 public:
  explicit ScriptedHost(FakeControls& ui) : ui_(ui) {}

  void commIni() override {
    ++opens;
    mm().gPortOpen = portOpens ? -1 : 0;
  }
  ComuOutcome poll() override {
    ++polls;
    if (!mm().gPortOpen) return ComuOutcome::kPortClosed;
    SetReply(pollReply);
    return ComuOutcome::kAnswered;
  }
  ComuOutcome comu() override {
    MainModule& m = mm();
    if (inComu_) {
      ++refused;
      return ComuOutcome::kBusy;
    }
    if (!m.gPortOpen) return ComuOutcome::kPortClosed;
    const QString command = m.gSendCommand;
    sent.push_back(command);
    inComu_ = true;
    if (duringWait) duringWait(command);
    inComu_ = false;
    if (m.gAppClosing == 1) return ComuOutcome::kClosing;
    const QString reply = device ? device(command) : QStringLiteral("A") + command.left(2) + QStringLiteral("90");
    if (reply.isEmpty()) {
      m.gReplyKind = QStringLiteral("E");
      m.gReplyText.clear();
      return ComuOutcome::kAbandoned;
    }
    SetReply(reply);
    if (m.gReplyKind != QLatin1String("E")) {
      const DisplayUpdates u = DecodeReply(command, reply, DecodeContext(m));
      ApplyStateChanges(u.state, m);
      for (const ControlUpdate& c : u.controls) {
        if (c.property == DisplayProperty::kToolTip) ui_.SetToolTip(c.control, c.index, c.text);
        else if (c.property == DisplayProperty::kListIndex) ui_.SetListIndex(c.control, c.index, c.listIndex);
        else ui_.SetText(c.control, c.index, c.text);
      }
    }
    return ComuOutcome::kAnswered;
  }
  void SendClAside() override { sent.push_back(QStringLiteral("CL (aside)")); }

  // The reply fields as the channel fills them from a reply text.
  static void SetReply(const QString& text) {
    MainModule& m = mm();
    m.gReplyText = text;
    m.gReplyKind = text.left(1);
    if (m.gReplyKind == QLatin1String("R")) {
      m.gReplyStatus = text.mid(1, 2);
    } else {
      m.gReplyCommand = text.mid(1, 2);
      m.gReplyStatus = text.mid(3, 2);
    }
  }

  // Commands sent, without those before the given index.
  std::vector<QString> SentFrom(size_t from) const { return {sent.begin() + static_cast<long>(from), sent.end()}; }

  std::function<QString(const QString&)> device;
  std::function<void(const QString&)> duringWait;
  QString pollReply = QStringLiteral("R0000");
  bool portOpens = true;
  std::vector<QString> sent;
  int opens = 0, polls = 0, refused = 0;

 private:
  FakeControls& ui_;
  bool inComu_ = false;
};

}  // namespace quorel::testing
