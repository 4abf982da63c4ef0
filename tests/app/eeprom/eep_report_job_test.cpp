// The device report on scripted forwarders: the traffic and the file of a
// whole report byte for byte, the cancelled prompt, the existing-file
// question, a target that cannot be written, and the busy state that keeps
// one family in the file.
#include "eeprom/eep_report_job.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/main_module.h"
#include "core/versions.h"
#include "eeprom/eep_frame.h"
#include "eeprom/eep_rows.h"
#include "fake_eep_channel.h"
#include "main/fake_controls.h"
#include "support/scripted_dialogs.h"

namespace quorel::eep {
namespace {

using testing::FakeControls;
using testing::FakeEepChannel;
using testing::ScriptedDialogs;

// Records the file name the save dialog offers.
class SaveDialogs : public ScriptedDialogs {
 public:
  QString SaveFile(const FileRequest& request) override {
    offered.push_back(request.name);
    filters.push_back(request.filter);
    return ScriptedDialogs::SaveFile(request);
  }
  // The critical box carries the system's reason: kept aside, not scripted.
  BoxAnswer Box(const BoxRequest& request) override {
    if (request.icon != BoxIcon::kCritical) return ScriptedDialogs::Box(request);
    critical.push_back(request.text);
    return BoxAnswer::kOk;
  }
  std::vector<QString> offered, filters, critical;
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  return f.readAll();
}

const QString kAppend = QStringLiteral("名前が同じファイルがあります。\r\n追記しますか？");

class Report : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gPortOpen = -1;
    mm().gPort = 3;
    jobs_.SetBusyDisplay([this](bool busy) { frame_.ShowBusy(busy); });
    // Readers as the window's: each runs its own job and adds a line in
    // report mode, naming the family it was called for.
    auto reader = [this](const char* command) {
      return [this, command](Family f) {
        readFamilies_.push_back(f);
        tabsEnabledInReaders_ = tabsEnabledInReaders_ || ui_.Enabled(QStringLiteral("SSTabEEP"));
        jobs_.Run(kFullJob, [&](EepJob& job) {
          if (!job.Send(QString::fromLatin1(command))) return;
          if (mm().gReportMode != 0)
            frame_.reportBuffer() += ReportLine(QString::fromLatin1(command), mm().gReportSeparator, ReplyData(job.text()));
        });
      };
    };
    frame_.handlers().settings = reader("!!s");
    frame_.handlers().counters = reader("CT:");
    frame_.handlers().allRows = reader("eer:00/10");
  }
  DeviceReport MakeReport(const QString& typed, bool csv, bool cancel = false) {
    DeviceReport::Hooks hooks;
    hooks.prompt = [typed, csv, cancel] {
      MainModule& m = mm();
      if (cancel) {
        m.gReportPromptResult = -1;
        return;
      }
      m.gReportSerial = ReportSerial(typed);
      m.gReportSeparator = ReportSeparator(csv);
    };
    hooks.driverInfo = [](int) { return DriverInfo{}; };
    return DeviceReport(frame_, hooks);
  }

  SaveDialogs dialogs_;
  FakeEepChannel channel_;
  FakeControls ui_;
  EepJobRunner jobs_{channel_};
  EepFrame frame_{ui_, jobs_};
  QTemporaryDir dir_;
  std::vector<Family> readFamilies_;
  bool tabsEnabledInReaders_ = false;
};

TEST_F(Report, MivorReportTrafficAndFile) {
  const QString path = dir_.filePath(QStringLiteral("SN01.txt"));
  dialogs_.ExpectSaveFile(path);
  channel_.Script(QStringLiteral("AVS90") + QStringLiteral("7.00"));
  channel_.Script(QStringLiteral("AVS90") + QStringLiteral("7.00 BOOT V1.00"));
  channel_.Script(QStringLiteral("A!!90") + QStringLiteral("S1"));
  channel_.Script(QStringLiteral("AMS90"));
  channel_.Script(QStringLiteral("AMR90") + QStringLiteral("d1e0"));
  channel_.Script(QStringLiteral("ACT90") + QStringLiteral("0001"));
  channel_.Script(QStringLiteral("Aee90") + QString(64, QLatin1Char('F')));
  DeviceReport report = MakeReport(QStringLiteral("SN\t01\r"), false);
  report.Run(Family::kMivor);
  const std::vector<QString> expected = {QStringLiteral("VS"),  QStringLiteral("VS?"), QStringLiteral("!!s"),
                                         QStringLiteral("MS:d1"), QStringLiteral("MR"), QStringLiteral("CT:"),
                                         QStringLiteral("eer:00/10")};
  EXPECT_EQ(channel_.sent, expected);
  EXPECT_EQ(dialogs_.offered, std::vector<QString>{QStringLiteral("SN01")});
  EXPECT_TRUE(dialogs_.filters[0].contains(QStringLiteral("*.txt")));
  const QByteArray rule(80, '*');
  EXPECT_EQ(ReadAll(path), rule + "\r\n" +
                               "Serial No.  :SN01\r\n"
                               "\r\n"
                               "Desc     :(COM3)\r\n"
                               "Provider :\r\n"
                               "Date     :\r\n"
                               "Version  :\r\n"
                               "\r\n"
                               "Firm Ver    :7.00 BOOT V1.00\r\n"
                               "!!s:S1\r\n"
                               "MR:d1       :d1e0\r\n"
                               "CT::0001\r\n"
                               "eer:00/10:" +
                               QByteArray(64, 'F') + "\r\n" + rule + "\r\n\r\n");
  EXPECT_EQ(mm().gReportMode, 0);
  EXPECT_TRUE(ui_.Enabled(QStringLiteral("SSTabEEP")));
}

TEST_F(Report, BusyForTheWholeRunKeepsOneFamily) {
  dialogs_.ExpectSaveFile(dir_.filePath(QStringLiteral("q.csv")));
  channel_.Script(QStringLiteral("AVS90") + QStringLiteral("9.1"));  // a Quenby version
  DeviceReport report = MakeReport(QString(), true);
  report.Run(Family::kQuenby);
  EXPECT_FALSE(tabsEnabledInReaders_);
  EXPECT_EQ(readFamilies_, (std::vector<Family>{Family::kQuenby, Family::kQuenby, Family::kQuenby}));
  const QByteArray file = ReadAll(dir_.filePath(QStringLiteral("q.csv")));
  EXPECT_TRUE(file.startsWith(QByteArray(80, '/') + "\r\nSerial No.  ,\r\n"));
  EXPECT_TRUE(file.endsWith(QByteArray(80, '/') + "\r\n\r\n"));
  EXPECT_TRUE(dialogs_.filters[0].contains(QStringLiteral("*.csv")));
  EXPECT_EQ(dialogs_.offered, std::vector<QString>{QString()});
}

TEST_F(Report, CancelledPromptStillSendsThePreambleAndVersion) {
  channel_.pollReply = QStringLiteral("R2000");  // a power-up report: "PA" first
  mm().gPortOpen = 0;
  DeviceReport report = MakeReport(QString(), false, true);
  report.Run(Family::kMivor);
  EXPECT_EQ(channel_.opens, 1);
  EXPECT_EQ(channel_.sent, (std::vector<QString>{QStringLiteral("PA"), QStringLiteral("VS")}));
  EXPECT_TRUE(dialogs_.recorded().empty());
  EXPECT_TRUE(readFamilies_.empty());
}

TEST_F(Report, ExistingFileNoAsksAgainYesAppends) {
  const QString first = dir_.filePath(QStringLiteral("a.txt"));
  const QString second = dir_.filePath(QStringLiteral("b.txt"));
  for (const QString& p : {first, second}) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
  }
  dialogs_.ExpectSaveFile(first);
  dialogs_.ExpectBox(ProgramTitle(), kAppend, BoxAnswer::kNo);
  dialogs_.ExpectSaveFile(second);
  dialogs_.ExpectBox(ProgramTitle(), kAppend, BoxAnswer::kYes);
  channel_.Script(QStringLiteral("AVS90") + QStringLiteral("7.00"));
  DeviceReport report = MakeReport(QStringLiteral("X"), false);
  report.Run(Family::kMivor);
  EXPECT_EQ(dialogs_.offered, (std::vector<QString>{QStringLiteral("X"), first}));
  EXPECT_EQ(ReadAll(first), QByteArray("old"));
  EXPECT_TRUE(ReadAll(second).startsWith(QByteArray("old") + QByteArray(80, '*') + "\r\n"));
  EXPECT_EQ(report.writtenPath(), second);
}

TEST_F(Report, UnwritableTargetNamesThePath) {
  // A folder where the file should be: the question, then the box.
  const QString target = dir_.filePath(QStringLiteral("folder"));
  ASSERT_TRUE(QDir().mkpath(target));
  dialogs_.ExpectSaveFile(target);
  dialogs_.ExpectBox(ProgramTitle(), kAppend, BoxAnswer::kYes);
  channel_.Script(QStringLiteral("AVS90") + QStringLiteral("7.00"));
  DeviceReport report = MakeReport(QString(), false);
  report.Run(Family::kMivor);
  ASSERT_EQ(dialogs_.critical.size(), 1u);
  EXPECT_TRUE(dialogs_.critical[0].contains(target));
  EXPECT_TRUE(report.writtenPath().isEmpty());
  EXPECT_EQ(mm().gReportMode, 0);
}

}  // namespace
}  // namespace quorel::eep
