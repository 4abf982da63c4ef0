// The bitmap window's download job ("BMP Transmit and Print"): the picture
// turned into print data and loaded into the device, the card's mode and
// magnetic data set, the text lines of the text areas added, and the card
// printed. Four variants: "PI" hex records or "IB" binary blocks, each
// converted by the program ("Form") or by the library in one call ("DLL").
//
// The job reads the window's choices once, as it starts, and reaches the
// device only through the injected line (and the library for the "DLL"
// variants and the binary blocks), so it runs without widgets.
#pragma once
#include <functional>
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "print/bmp_job_commands.h"
#include "print/bmp_job_ports.h"
#include "print/bmp_stopwatch.h"
#include "print/print_area_layout.h"

namespace quorel {

class LinkApi;

struct BmpJobChoices {
  BmpMessageLines lines;
  int trackOption = -1;  // OpMagTr: 0, 1, or none selected
  int area = 0;          // OpPrArea
  PrintArea printArea;
  QString cardKind = QStringLiteral("0");
  bool silver = false;   // OpCdBackColor index 1
  bool ib = false;       // OpIBPI index 0
  bool library = false;  // OpTranceMode index 0 ("DLL")
  int bufferOption = 0;  // OpBufferSize
  QString bufferText;    // TxtBufferSize
  QString filePath;      // TxtFilePathBox
  QString bitmapFolder;  // ends in a separator
  printdata::Thresholds thresholds;
};

// A "PI" record: more rows go into it while it is at most this long.
constexpr int kPIRecordLimit = 212;

class BmpDownloadJob {
 public:
  BmpDownloadJob(BmpJobLine& line, LinkApi& link, BmpJobView& view, BmpStopwatch& watch, BmpJobChoices choices);

  // From the time labels on: port, poll, preamble, the variant. The caller
  // has locked the controls and saved the settings; it unlocks them after.
  void Run();

  // The four variants, each with the commands around its image and the card
  // print; also reachable on their own (the menu's binary download).
  void SendPIDataFile();
  void SendPIDataDll();
  void SendIBDataFile();
  void SendIBDataDll();
  // The library call: buffer size, the picture's path as CP932 bytes, the
  // echoed command code and status slots; the export's result.
  using LibraryCall = std::function<int16_t(int, const QByteArray&, QByteArray*, QByteArray*)>;
  void SendThroughLibrary(uint32_t startColour, const char* failedCall, const LibraryCall& call);

  // What the last file-mode conversion made.
  const std::vector<QString>& records() const { return records_; }
  const std::vector<QByteArray>& blocks() const { return blocks_; }

 private:
  bool Stopped() const;
  void StopShown(uint32_t colour = kStatusYellow);
  ComuOutcome Send(const QString& command);
  bool ConvertPI();
  bool ConvertIB();
  bool SendBlocks();
  void ReleaseLine();
  void EndBlockMode();
  void WriteWorkFile(const QString& name, const QByteArray& data);
  // Text block, "Data Set Finish", card print, final status colour. False
  // when a stop ended it before the card print.
  bool AfterImage(uint32_t finalColour);
  // "PC", mode, track data and "RV" of the "DLL" variants, each shown; false
  // when a stop after "RV" ended the job.
  bool LibraryCommandsBefore();
  bool LibraryBuffer(int* size);
  // The picture's path as the library takes it; nothing (after a box that
  // names the path) when CP932 cannot hold it.
  std::optional<QByteArray> LibraryPath() const;

  BmpJobLine& line_;
  LinkApi& link_;
  BmpJobView& view_;
  BmpStopwatch& watch_;
  BmpJobChoices c_;
  QString trackCode_;
  QString mode_;
  QString trackData_;
  std::vector<QString> records_;
  std::vector<QByteArray> blocks_;
};

}  // namespace quorel
