// The bitmap window's "IB" download of print area 1 (320 x 600: 150 blocks
// of 164 bytes, each answered with one byte) against the in-process
// simulated device pacing the line at 115200 baud, 11 bits a character (8E1),
// side by side in its two forms:
//   program: the block phase the window times itself (its LbTime(1)), the
//            blocks sent one by one through the program's library binding;
//   library: the library's own crwIBBinarySend (the window's LbTime(0) of the
//            "DLL" variant), which also converts the picture and exchanges
//            the "IB" command and the closing poll.
// wire_s is the time the blocks and their answers take on the wire at that
// speed; x_wire the measured time as a multiple of it. Each block's answer is
// followed by the port's one-millisecond quiet read, so the program's block
// phase cannot come below about 1.06 x_wire.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>

#include "bmp_file.h"
#include "core/channel_view.h"
#include "core/device_channel.h"
#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/link_api.h"
#include "core/main_module.h"
#include "core/message_tables.h"
#include "print/bmp_channel_line.h"
#include "print/bmp_download_job.h"
#include "random_picture.h"
#include "sim/simulator.h"

namespace {

using namespace quorel;

constexpr int kBlocks = 150;
constexpr double kWireSeconds = kBlocks * (164.0 + 1) * 11 / 115200;

// The card box ("Please Insert a card") answered at once; nothing else opens.
class AnsweringDialogs : public DialogHost {
 public:
  BoxAnswer Box(const BoxRequest&) override { return BoxAnswer::kOk; }
  std::optional<QString> Input(const InputRequest&) override { return std::nullopt; }
  QString OpenFile(const FileRequest&) override { return QString(); }
  QString SaveFile(const FileRequest&) override { return QString(); }
  QString Folder(const FileRequest&) override { return QString(); }
  int Modal(QDialog&) override { return 0; }
};

// The main window's displays, unseen.
class QuietChannelView : public ChannelView {
 public:
  void Apply(const ControlUpdate&) override {}
  QString CurrentText(const QString&) const override { return QString(); }
  void SetBackColor(const QString&, uint32_t) override {}
  void SetForeColor(const QString&, uint32_t) override {}
  void ShowLog(const QString&, const QString&) override {}
  void ShowRamClearProgress(const QString&, const QString&, float) override {}
  void StopSideTimers() override {}
  bool SensorRef33() const override { return false; }
  bool CardKindFromMode() const override { return false; }
  QStringList CardKinds() const override { return {}; }
  QString CardKindText() const override { return QString(); }
};

// The bitmap window's displays: only the time labels are kept.
class TimesView : public BmpJobView {
 public:
  explicit TimesView(const printdata::RgbImage& picture) : picture_(picture) {}
  void SetControlsEnabled(bool) override {}
  void Status(const QString& caption) override { status = caption; }
  void StatusColour(uint32_t) override {}
  void Repaint() override {}
  void Time(int index, std::optional<uint32_t> ms) override { times[index & 1] = ms; }
  void LineDisp(int) override {}
  void SendDataDisp(const QString&) override {}
  void Progress(int, int, int) override {}
  void PumpEvents() override { PumpPendingEvents(); }
  void PictureRefresh() override {}
  printdata::RgbView Pixels() const override { return printdata::ViewOf(picture_); }
  void Note(const QString&) override {}

  std::optional<uint32_t> times[2];
  QString status;

 private:
  const printdata::RgbImage& picture_;
};

// The device on COM3 of a scratch folder (the current folder meanwhile), the
// program's channel open on it at 115200 8E1, and the picture in memory and
// as a 24-bit BMP for the library.
class Bench {
 public:
  Bench() {
    picture_.width = benchpictures::kWidth;
    picture_.height = benchpictures::kHeight;
    picture_.rgb = benchpictures::RandomRgb(11);
    if (!dir_.isValid() || !QDir(dir_.path()).mkpath(QStringLiteral("dev"))) return;
    const std::string dev = dir_.filePath(QStringLiteral("dev")).toStdString();
    setenv("VANTOR_DEVICE_DIR", dev.c_str(), 1);
    qputenv("QUOREL_PROGRAM_DIR", QUOREL_LIBRARY_DIR);
    if (!QDir::setCurrent(dir_.path())) return;
    pictureFile_ = dir_.filePath(QStringLiteral("picture.bmp"));
    QFile f(pictureFile_);
    const std::string bmp = testpictures::Bmp24(picture_.width, picture_.height, picture_.rgb);
    if (!f.open(QIODevice::WriteOnly) || f.write(bmp.data(), static_cast<qint64>(bmp.size())) != qint64(bmp.size()))
      return;
    f.close();
    if (!sim_.Start({dev, 3, ""})) return;
    for (const char* line : {"device standard", "cardwait 20", "pace 115200 11"})
      if (!sim_.Control(line).empty()) return;
    SetDialogHost(&dialogs_);
    MainModule& m = mm();
    m = MainModule{};
    InitMessageTables();
    m.gPort = 3;
    m.gBoud = 115200;
    m.gParity = QStringLiteral("E");
    m.gDataBit = 8;
    m.gUseDSR = 1;
    m.gUseCTS = 1;
    m.gAckTimer = 1000;
    m.gRespTimer = 1000;
    m.gNakRetry = 3;
    m.gAckNakTimeoutRetry = 3;
    m.gRespTimeoutRetry = 3;
    channel_ = std::make_unique<DeviceChannel>(Link(), channelView_);
    line_ = std::make_unique<ChannelLine>(*channel_);
    channel_->commIni();
    ok_ = m.gPortOpen != 0;
  }
  ~Bench() {
    if (channel_ && mm().gPortOpen) channel_->commClose();
    sim_.Stop();
    SetDialogHost(nullptr);
  }
  bool ok() const { return ok_; }

  // One whole download job; the time of the label that times the transfer
  // (seconds), or nothing when the job failed.
  std::optional<double> Download(bool library) {
    sim_.Control("image clear");
    BmpJobChoices c;
    c.area = 1;
    c.printArea = PrintAreaAt(1);
    c.ib = true;
    c.library = library;
    c.filePath = pictureFile_;
    c.bitmapFolder = dir_.path() + QLatin1Char('/');
    TimesView view(picture_);
    BmpStopwatch watch;
    BmpDownloadJob(*line_, Link(), view, watch, c).Run();
    const std::optional<uint32_t>& ms = view.times[library ? 0 : 1];
    if (!ms || sim_.ImageRows().size() < static_cast<size_t>(4 * kBlocks)) return std::nullopt;
    return *ms / 1000.0;
  }

 private:
  QTemporaryDir dir_;
  QString pictureFile_;
  printdata::RgbImage picture_;
  sim::Simulator sim_;
  AnsweringDialogs dialogs_;
  QuietChannelView channelView_;
  std::unique_ptr<DeviceChannel> channel_;
  std::unique_ptr<ChannelLine> line_;
  bool ok_ = false;
};

// Made in main, inside the application's life (the channel is a QObject).
Bench* g_bench = nullptr;

Bench& Env() { return *g_bench; }

void Download(benchmark::State& state, bool library) {
  if (!Env().ok()) {
    state.SkipWithError("no simulated device or no library");
    return;
  }
  double total = 0;
  for (auto _ : state) {
    const std::optional<double> s = Env().Download(library);
    if (!s) {
      state.SkipWithError("the download failed");
      return;
    }
    state.SetIterationTime(*s);
    total += *s;
  }
  const double mean = total / static_cast<double>(state.iterations());
  state.counters["wire_s"] = kWireSeconds;
  state.counters["x_wire"] = mean / kWireSeconds;
  state.SetLabel(library ? "library: crwIBBinarySend" : "program: IB block phase");
}

void BM_IBDownloadAreaOneProgram(benchmark::State& state) { Download(state, false); }
void BM_IBDownloadAreaOneLibrary(benchmark::State& state) { Download(state, true); }

BENCHMARK(BM_IBDownloadAreaOneProgram)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IBDownloadAreaOneLibrary)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Bench bench;
  g_bench = &bench;
  benchmark::RunSpecifiedBenchmarks();
  g_bench = nullptr;
  benchmark::Shutdown();
  return 0;
}
