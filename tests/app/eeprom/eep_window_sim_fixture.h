// The EEPROM window on the real library and the in-process simulator: the
// window made on first use and deleted after the test, its buttons clicked
// by name, and the commands the device received.
#pragma once
#include <QAbstractButton>
#include <QPointer>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channel/sim_channel_fixture.h"
#include "eeprom/form_eep.h"

namespace quorel::eep {

class EepWindowOnSimulator : public testing::SimChannelTest {
 protected:
  void TearDown() override {
    delete window_.data();
    SimChannelTest::TearDown();
  }
  FormEEP& Window() {
    if (!window_) window_ = new FormEEP(channel_);
    return *window_;
  }
  void Click(const QString& name, int index = -1) {
    auto* b = Window().findChild<QAbstractButton*>(ControlKey(name, index));
    ASSERT_NE(nullptr, b) << name.toStdString();
    b->click();
  }
  // The commands on the wire from transcript entry `from` on, in order
  // ("CMD VS", "CMD ee r:A0/10"); *end gets where the next look starts.
  std::vector<std::string> CommandTags(size_t from = 0, size_t* end = nullptr) const {
    std::vector<std::string> out;
    const std::vector<sim::TranscriptEntry> t = sim_.Transcript();
    for (size_t i = from; i < t.size(); ++i)
      if (t[i].dir == sim::Dir::Host && t[i].tag.compare(0, 4, "CMD ") == 0) out.push_back(t[i].tag);
    if (end) *end = t.size();
    return out;
  }

  QPointer<FormEEP> window_;
};

}  // namespace quorel::eep
