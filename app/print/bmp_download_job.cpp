#include "print/bmp_download_job.h"

#include <QDir>
#include <algorithm>

#include "core/cp932_codec.h"
#include "core/dialogs.h"
#include "core/job_preamble.h"
#include "core/link_api.h"
#include "core/main_module.h"
#include "platform/profile.h"
#include "print/bmp_card_print.h"

namespace quorel {
namespace {

constexpr int kRowsPerBlock = 4;
constexpr int kAnswerSize = 10;

QString SendCaption(const QString& command) { return QStringLiteral("Send:") + command; }

QString HexOf(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

}  // namespace

BmpDownloadJob::BmpDownloadJob(BmpJobLine& line, LinkApi& link, BmpJobView& view, BmpStopwatch& watch,
                               BmpJobChoices choices)
    : line_(line), link_(link), view_(view), watch_(watch), c_(std::move(choices)) {
  trackCode_ = TrackCode(c_.trackOption);
  mode_ = BmpModeCommand(trackCode_, c_.area, c_.cardKind);
  trackData_ = TrackDataCommand(trackCode_, MagneticText(c_.lines, c_.area));
}

bool BmpDownloadJob::Stopped() const { return mm().gStopRequest == 1; }

void BmpDownloadJob::StopShown(uint32_t colour) {
  view_.StatusColour(colour);
  view_.Status(QStringLiteral("Stop"));
}

ComuOutcome BmpDownloadJob::Send(const QString& command) { return BmpSend(line_, command); }

void BmpDownloadJob::Run() {
  view_.Time(0, std::nullopt);
  view_.Time(1, std::nullopt);
  // A path the library cannot be handed is refused before anything is sent.
  if (c_.library && !LibraryPath()) return;
  MainModule& m = mm();
  if (!m.gPortOpen) {
    line_.commIni();
    if (!m.gPortOpen) {
      MsgBox(QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxButtons::kOk,
             BoxIcon::kCritical, QStringLiteral("通信エラー"));
      return;
    }
  }
  line_.poll();
  const QString preamble = PreambleCommand(m.gReplyKind, m.gReplyStatus);
  if (!preamble.isEmpty()) Send(preamble);
  if (c_.ib) {
    c_.library ? SendIBDataDll() : SendIBDataFile();
  } else {
    c_.library ? SendPIDataDll() : SendPIDataFile();
  }
}

void BmpDownloadJob::WriteWorkFile(const QString& name, const QByteArray& data) {
  // A copy for the user only: the job sends from memory and goes on.
  const QString path = c_.bitmapFolder + name;
  if (c_.bitmapFolder.isEmpty() || !plat::WriteFileAtomic(QDir::toNativeSeparators(path).toStdString(), data.toStdString()))
    view_.Note(QStringLiteral("Work file not written: ") + path);
}

bool BmpDownloadJob::AfterImage(uint32_t finalColour) {
  if (AreaHasText(c_.area)) {
    view_.Status(QStringLiteral("TXT Data Transmit"));
    Send(TextBlockCommand(c_.lines, c_.area));
    if (Stopped()) {
      StopShown();
      return false;
    }
  }
  view_.Status(QStringLiteral("Data Set Finish"));
  RunCardPrint(line_, view_, c_.cardKind);
  view_.Status(QString());
  view_.StatusColour(finalColour);
  return true;
}

// ---- "PI" hex records ----

bool BmpDownloadJob::ConvertPI() {
  view_.PictureRefresh();
  const PrintArea& a = c_.printArea;
  const int height = a.height();
  const printdata::ScanArea scan = a.scanArea();
  const printdata::RgbView pixels = view_.Pixels();
  view_.StatusColour(kStatusYellow);
  view_.Status(QStringLiteral("Data Convert"));
  view_.Progress(0, 0, height);
  view_.Progress(1, 0, -1);
  mm().gStopRequest = 0;
  view_.Time(0, std::nullopt);
  watch_.Start();
  view_.Repaint();

  records_.clear();
  const QString head = QStringLiteral("PI:%1/").arg(a.firstColumn);
  const QString perRow = QStringLiteral("/%1/").arg(printdata::PackedBytesInRow(scan));
  const printdata::StopCheck stop = [] { return mm().gStopRequest == 1; };
  QByteArray file;
  QString record;
  bool started = false;
  bool stopped = false;
  std::string digits;
  for (int y = 0; y < height; ++y) {
    view_.PumpEvents();
    view_.LineDisp(y);
    view_.Progress(0, y, -1);
    if (record.size() > kPIRecordLimit) started = false;
    if (!started) {
      record = head + QString::number(y + a.rowOffset) + perRow;
      started = true;
    }
    digits.clear();
    // A row cut short by a stop is dropped with its record: the file and
    // the table hold completed records only.
    if (!printdata::AppendHexRow(pixels, scan, y, c_.thresholds, stop, &digits)) {
      stopped = true;
      break;
    }
    record += QString::fromLatin1(digits.data(), static_cast<int>(digits.size()));
    if (record.size() > kPIRecordLimit || y == height - 1) {
      records_.push_back(record);
      file += record.toLatin1() + "\r\n";
    } else {
      record += QLatin1Char('/');
    }
    if (Stopped()) {
      stopped = true;
      break;
    }
  }
  WriteWorkFile(QStringLiteral("IRtemp.dat"), file);
  if (stopped) {
    StopShown();
    return false;
  }
  view_.Time(0, watch_.ElapsedMs());
  if (Stopped()) {
    StopShown();
    return false;
  }
  return true;
}

void BmpDownloadJob::SendPIDataFile() {
  if (!ConvertPI()) return;
  Send(mode_);
  view_.Status(SendCaption(mode_));
  if (!trackData_.isEmpty()) {
    Send(trackData_);
    if (Stopped()) StopShown();
  }
  Send(QStringLiteral("PC"));
  if (Stopped()) return StopShown();
  if (c_.silver) {
    Send(QStringLiteral("RV"));
    if (Stopped()) return StopShown();
  }
  view_.Status(QStringLiteral("BMP Data Transmit Sending"));
  view_.Repaint();
  const int count = static_cast<int>(records_.size());
  view_.Progress(1, 0, count);
  view_.Time(1, std::nullopt);
  watch_.Start();
  for (int i = 0; i < count; ++i) {
    view_.PumpEvents();
    view_.LineDisp(i + 1);
    view_.SendDataDisp(records_[static_cast<size_t>(i)]);
    view_.Progress(1, i + 1, -1);
    Send(records_[static_cast<size_t>(i)]);
    if (Stopped()) return StopShown();
  }
  view_.Time(1, watch_.ElapsedMs());
  if (c_.silver) {
    Send(QStringLiteral("RV"));
    if (Stopped()) StopShown();
  }
  AfterImage(kStatusYellow);
}

// ---- the library's one-call downloads ----

std::optional<QByteArray> BmpDownloadJob::LibraryPath() const {
  // The library takes the path as CP932 text, as the program's own texts
  // are; a character CP932 has no form for would name another file.
  const QString path = c_.filePath.trimmed();
  QByteArray bytes;
  if (cp932::EncodeExact(path, &bytes)) return bytes;
  MsgBox(QStringLiteral("The picture's path holds characters that cannot be passed to the library (DLL mode):\r\n") +
             path + QStringLiteral("\r\n\r\nSend it in Form mode, or move the picture to a folder whose path has none of them."),
         BoxButtons::kOk, BoxIcon::kExclamation, QStringLiteral("BMP Data Transmit Error"));
  return std::nullopt;
}

bool BmpDownloadJob::LibraryBuffer(int* size) {
  const std::optional<int> buffer = LibraryBufferSize(c_.bufferOption, c_.bufferText);
  if (!buffer) {
    MsgBox(BufferSizeRefusal(), BoxButtons::kOk, BoxIcon::kExclamation);
    return false;
  }
  *size = *buffer;
  return true;
}

bool BmpDownloadJob::LibraryCommandsBefore() {
  for (const QString& command : {QStringLiteral("PC"), mode_, trackData_}) {
    if (command.isEmpty()) continue;
    Send(command);
    view_.Status(SendCaption(command));
  }
  if (c_.silver) {
    Send(QStringLiteral("RV"));
    view_.Status(SendCaption(QStringLiteral("RV")));
  }
  // A stop pressed during any of them ends the job here: the flag is
  // cleared for the library call next.
  if (Stopped()) {
    StopShown();
    return false;
  }
  return true;
}

void BmpDownloadJob::SendPIDataDll() {
  SendThroughLibrary(kStatusCyan, nullptr, [this](int buffer, const QByteArray& path, QByteArray* code, QByteArray* status) {
    const MainModule& m = mm();
    const PrintArea& a = c_.printArea;
    return link_.PIDataSend(m.gPort, LibraryRetries(m.gNakRetry), m.gUseDSR, 1,
                            static_cast<int16_t>(a.lastColumn), static_cast<int16_t>(a.lastRow),
                            static_cast<int16_t>(a.firstColumn), static_cast<int16_t>(a.rowOffset), m.gRespTimer,
                            buffer, path, code, status);
  });
}

void BmpDownloadJob::SendIBDataDll() {
  SendThroughLibrary(kStatusYellow, "crwIBBinarySend",
                     [this](int buffer, const QByteArray& path, QByteArray* code, QByteArray* status) {
    const MainModule& m = mm();
    const PrintArea& a = c_.printArea;
    return link_.IBBinarySend(m.gPort, LibraryRetries(m.gNakRetry), m.gUseDSR, 1,
                              static_cast<int16_t>(a.lastColumn), static_cast<int16_t>(a.lastRow),
                              static_cast<int16_t>(a.rowOffset), m.gRespTimer, buffer,
                              path, code, status);
  });
}

// The library-mode transfer both record kinds share: the commands before the
// image, the timed library call, then the card. failedCall names the export
// in a box when its failure is reported to the user.
void BmpDownloadJob::SendThroughLibrary(uint32_t startColour, const char* failedCall, const LibraryCall& call) {
  view_.PictureRefresh();
  view_.Status(QString());
  view_.StatusColour(startColour);
  const std::optional<QByteArray> path = LibraryPath();
  if (!path) return;
  int buffer = 0;
  if (!LibraryBuffer(&buffer)) return;
  if (!LibraryCommandsBefore()) return;
  line_.TimerOff();
  view_.Status(QStringLiteral("BMP Data Transmit Sending"));
  view_.Repaint();
  mm().gStopRequest = 0;
  view_.Time(0, std::nullopt);
  watch_.Start();
  QByteArray code, status;
  const int16_t rc = call(buffer, *path, &code, &status);
  view_.Time(0, watch_.ElapsedMs());
  if (rc != 0) {
    view_.StatusColour(kStatusRed);
    view_.Status(QStringLiteral("BMP Data Transmit Error"));
    line_.TimerOn();
    if (failedCall) {
      const QString name = QString::fromLatin1(failedCall);
      MsgBox(QString::number(rc) + QStringLiteral(" = ") + name, BoxButtons::kOk, BoxIcon::kCritical,
             QStringLiteral("ret=") + name);
    }
    return;
  }
  line_.poll();
  if (Stopped()) return StopShown();
  AfterImage(kStatusYellow);
}

// ---- "IB" binary blocks ----

bool BmpDownloadJob::ConvertIB() {
  view_.PictureRefresh();
  const PrintArea& a = c_.printArea;
  const int height = a.height();
  const printdata::ScanArea scan = a.scanArea();
  const printdata::RgbView pixels = view_.Pixels();
  const int rowBytes = printdata::PackedBytesInRow(scan);
  view_.StatusColour(kStatusYellow);
  view_.Status(QStringLiteral("Data Convert"));
  view_.Progress(0, 0, height);
  view_.Progress(1, 0, height);
  mm().gStopRequest = 0;
  view_.Time(0, std::nullopt);
  watch_.Start();

  blocks_.clear();
  const printdata::StopCheck stop = [] { return mm().gStopRequest == 1; };
  QByteArray file;
  std::vector<uint8_t> dots;
  // The last block of an area whose rows are no multiple of four is padded
  // with white rows, as the library does, so no row is left off the card.
  for (int y = 0; y < height; y += kRowsPerBlock) {
    view_.LineDisp(y);
    view_.Progress(0, y, -1);
    const int n = (a.rowOffset + y) / kRowsPerBlock;
    QByteArray block;
    block.append(static_cast<char>(1));
    block.append(static_cast<char>(n & 0xFF));
    block.append(static_cast<char>(255 - (n & 0xFF)));
    dots.clear();
    bool cut = false;
    for (int r = y; r < y + kRowsPerBlock && !cut; ++r) {
      view_.PumpEvents();
      if (r >= height) {
        dots.insert(dots.end(), static_cast<size_t>(rowBytes), 0);
        continue;
      }
      cut = !printdata::AppendPackedRow(pixels, scan, r, c_.thresholds, stop, &dots);
    }
    uint8_t sum = 0;
    for (uint8_t b : dots) sum = static_cast<uint8_t>(sum + b);
    block.append(reinterpret_cast<const char*>(dots.data()), static_cast<int>(dots.size()));
    block.append(static_cast<char>(sum));
    view_.PumpEvents();
    if (Stopped()) {
      WriteWorkFile(QStringLiteral("IBtemp.dat"), file);
      StopShown();
      return false;
    }
    blocks_.push_back(block);
    file += block;
  }
  WriteWorkFile(QStringLiteral("IBtemp.dat"), file);
  view_.Time(0, watch_.ElapsedMs());
  view_.Status(QStringLiteral("Data Transmit"));
  if (Stopped()) {
    StopShown();
    return false;
  }
  return true;
}

void BmpDownloadJob::ReleaseLine() {
  MainModule& m = mm();
  m.gPollBusy = 0;
  m.gLineBusy = 0;
  line_.TimerOn();
}

void BmpDownloadJob::EndBlockMode() {
  // The device waits for blocks until a poll ends its block mode: without
  // it the next command of any window would be taken for block bytes.
  ReleaseLine();
  if (mm().gPortOpen) line_.poll();
}

bool BmpDownloadJob::SendBlocks() {
  MainModule& m = mm();
  const int height = c_.printArea.height();
  line_.TimerOff();
  view_.Status(QStringLiteral("BMP Data Transmit"));
  view_.Progress(1, 0, height);
  m.gStopRequest = 0;
  view_.Time(1, std::nullopt);
  watch_.Start();
  // The block phase holds the channel's guard as well as the line: another
  // window's comu (and Stop's "CL") is refused at once instead of waiting
  // for a line that only this loop can free.
  m.gPollBusy = -1;
  for (size_t k = 0; k < blocks_.size(); ++k) {
    const QByteArray& block = blocks_[k];
    const int y = static_cast<int>(k) * kRowsPerBlock;
    view_.LineDisp(y);
    view_.SendDataDisp(HexOf(block));
    m.gReplyText.clear();
    m.gLineBusy = 1;
    QString answer;
    const int16_t sent =
        link_.SendBinaryDataQR(m.gPort, m.gAckTimer, m.gUseDSR, 1, block, static_cast<int16_t>(block.size()));
    if (sent == 0) {
      do {
        view_.PumpEvents();
        answer.clear();
        QByteArray received;
        int16_t count = 0;
        if (link_.ReceiveBinaryData(m.gPort, m.gRespTimer, m.gUseDSR, &received, kAnswerSize, &count) == 0)
          answer = HexOf(received.left(count));
        if (m.gAppClosing == 1) {
          ReleaseLine();
          return false;
        }
        if (!m.gPortOpen) break;  // nothing can answer any more
      } while (answer != QLatin1String("06") && answer != QLatin1String("15") && !Stopped());
    }
    if (answer != QLatin1String("06")) {
      EndBlockMode();
      view_.StatusColour(kStatusYellow);
      view_.Status(QStringLiteral("Error"));
      return false;
    }
    if (Stopped()) {
      EndBlockMode();
      StopShown();
      return false;
    }
    view_.Progress(1, std::min(y + kRowsPerBlock, height), -1);
  }
  view_.Time(1, watch_.ElapsedMs());
  ReleaseLine();
  line_.poll();
  return true;
}

void BmpDownloadJob::SendIBDataFile() {
  if (!ConvertIB()) return;
  Send(QStringLiteral("PC"));
  if (Stopped()) return StopShown();
  Send(mode_);
  view_.Status(SendCaption(mode_));
  if (!trackData_.isEmpty()) Send(trackData_);
  if (Stopped()) return StopShown();
  if (c_.silver) {
    Send(QStringLiteral("RV"));
    if (Stopped()) return StopShown(kStatusCyan);
  }
  Send(QStringLiteral("IB"));
  if (Stopped()) return StopShown();
  if (!SendBlocks()) return;
  if (Stopped()) return StopShown();
  if (c_.silver) {
    Send(QStringLiteral("RV"));
    if (Stopped()) return StopShown();
  }
  AfterImage(kStatusCyan);
}

}  // namespace quorel
