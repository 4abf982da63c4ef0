// The bitmap window offscreen on the main window's device channel, through
// the real library (bound by name from its build folder) against the
// simulated device: the port open, the power-up report answered, a scratch
// bitmap folder and one message line in the settings. The transcript starts
// empty.
#pragma once
#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <string>

#include "../channel/sim_channel_fixture.h"
#include "core/settings_file.h"
#include "core/versions.h"
#include "print/form_bmp.h"

namespace quorel::testing {

// The library binding is made when the fixture's channel is, before SetUp:
// the program folder must name the library's folder from the start.
inline const bool kBmpWindowProgramDirSet = qputenv("QUOREL_PROGRAM_DIR", QUOREL_LIBRARY_DIR);

class BmpWindowSim : public SimChannelTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kBmpWindowProgramDirSet);
    SimChannelTest::SetUp();
    // A picture goes down in hundreds of exchanges, each bounded by these:
    // a loaded machine must not turn one slow answer into a failed job.
    mm().gAckTimer = 3000;
    mm().gRespTimer = 3000;
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
    folder_ = dir_.file(QStringLiteral("work")) + QLatin1Char('/');
    WriteIni(QStringLiteral("BMPDown"), QStringLiteral("FileDir"), folder_, mm().gIniPath);
    WriteIni(QStringLiteral("BMPDown"), QStringLiteral("Line0"), QStringLiteral("TOP"), mm().gIniPath);
    Control("cardwait 0");
    form_ = new FormBMP(channel_);
    Open();
    Comu(QStringLiteral("PA"));
    sim_.ClearTranscript();
  }
  void TearDown() override {
    delete form_.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SimChannelTest::TearDown();
  }
  WidgetControls& ui() { return form_->ui(); }
  void Click(const char* name) { ui().Get<QPushButton>(QString::fromLatin1(name))->click(); }
  void Pick(const char* combo, const QString& item) {
    const int at = static_cast<int>(ui().Items(QString::fromLatin1(combo)).indexOf(item));
    ASSERT_GE(at, 0);
    ui().SetListIndex(QString::fromLatin1(combo), -1, at);
  }
  int Tagged(const std::string& tag) const { return sim_.CountTag(sim::Dir::Host, tag); }
  void ExpectInsert(BoxAnswer answer) {
    dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("Please Insert a card"), answer);
  }

  QString folder_;
  QPointer<FormBMP> form_;
};

}  // namespace quorel::testing
