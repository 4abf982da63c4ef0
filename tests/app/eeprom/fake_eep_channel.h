// Scripted forwarders for the EEPROM window's jobs: every comu records the
// command and answers the next scripted reply (else "A" + code + "90"),
// setting the shared reply fields as the channel does; a comu asked for
// while another waits is refused, as the channel refuses it. A hook runs
// inside each comu, as the events of a real wait would.
#pragma once
#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "core/command_handoff.h"
#include "core/main_module.h"
#include "eeprom/eep_channel.h"

namespace quorel::testing {

class FakeEepChannel : public eep::EepChannel {
 public:
  struct Answer {
    QString reply;  // the whole reply text
    ComuOutcome outcome = ComuOutcome::kAnswered;
  };

  // The next comu answers this (in order).
  void Script(const QString& reply, ComuOutcome outcome = ComuOutcome::kAnswered) {
    script_.push_back({reply, outcome});
  }

  void commIni() override {
    ++opens;
    mm().gPortOpen = portOpens ? -1 : 0;
  }
  ComuOutcome poll() override {
    ++polls;
    MainModule& m = mm();
    m.gReplyText = pollReply;
    m.gReplyKind = pollReply.left(1);
    m.gReplyStatus = pollReply.mid(1, 2);
    return ComuOutcome::kAnswered;
  }
  ComuOutcome comu() override {
    MainModule& m = mm();
    if (waiting_) {
      refused.push_back(m.gSendCommand);
      return ComuOutcome::kBusy;
    }
    const QString command = m.gSendCommand;
    sent.push_back(command);
    waiting_ = true;
    if (during) during(command);
    waiting_ = false;
    Answer a{QStringLiteral("A") + command.left(2) + QStringLiteral("90"), ComuOutcome::kAnswered};
    if (!script_.empty()) {
      a = script_.front();
      script_.pop_front();
    }
    if (a.outcome != ComuOutcome::kAnswered) return a.outcome;
    m.gReplyText = a.reply;
    m.gReplyKind = a.reply.left(1);
    // "R" replies carry the device state where the others echo the code.
    const bool ready = a.reply.startsWith(QLatin1Char('R'));
    m.gReplyCommand = ready ? QString() : a.reply.mid(1, 2);
    m.gReplyStatus = ready ? a.reply.mid(1, 2) : a.reply.mid(3, 2);
    if (command.startsWith(QLatin1String("VS")) && m.gReplyStatus == QLatin1String("90"))
      m.gVersionText = a.reply.mid(5);
    return ComuOutcome::kAnswered;
  }
  bool ResetWhenIdle() override {
    ++resets;
    return true;
  }

  bool portOpens = true;
  QString pollReply = QStringLiteral("R0000");  // the status a poll reads: "R" + state + card
  std::function<void(const QString&)> during;
  std::vector<QString> sent, refused;
  int opens = 0, polls = 0, resets = 0;

 private:
  std::deque<Answer> script_;
  bool waiting_ = false;
};

}  // namespace quorel::testing
