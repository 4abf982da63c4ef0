// A shared state with the message tables built, a context over it, and
// readable failure output for QString.
#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include "core/main_module.h"
#include "core/message_tables.h"
#include "core/reply_decoders.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace quorel {

class DecodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    InitMessageTables(TableLanguage::kJapanese);
    state = mm();
  }

  DecodeContext Context() const {
    DecodeContext c{state};
    c.sensorRef33 = ref33;
    c.cardKindFromMode = cardKindTicked;
    c.cardKinds = cardKinds;
    c.cardKindText = cardKindText;
    return c;
  }
  DisplayUpdates Decode(const QString& command, const QString& reply) const {
    return DecodeReply(command, reply, Context());
  }
  // The caption, text or tool tip an update list sets, or "<unset>".
  static QString Shown(const DisplayUpdates& u, const char* control, int index, DisplayProperty p) {
    const ControlUpdate* c = u.find(QLatin1String(control), index, p);
    return c ? c->text : QStringLiteral("<unset>");
  }

  MainModule state;
  bool ref33 = false;
  bool cardKindTicked = false;
  QStringList cardKinds;
  QString cardKindText;
};

constexpr DisplayProperty kCaption = DisplayProperty::kCaption;
constexpr DisplayProperty kText = DisplayProperty::kText;
constexpr DisplayProperty kToolTip = DisplayProperty::kToolTip;

}  // namespace quorel
