// The program-wide state every window shares: settings copied from the
// settings files, the one device channel's current command and last reply,
// stop and mode flags, values taken from device replies and the message
// tables. One GUI thread reads and writes it; windows never keep copies.
//
// Integer flags follow the program's conventions: most are 1/0, the truth
// values (commented "-1/0") hold -1 for true.
#pragma once
#include <QString>
#include <array>
#include <cstdint>

namespace quorel {

struct MainModule {
  // Paths, files and versions.
  QString gIniPath;      // Quorel.ini in the program folder
  QString gDllIniPath;   // Vantor.ini in the program folder
  QString gDataPath;     // [Path] Data, else the program folder's "log"
  QString gLogOutPath;   // [Path] LogOutPath (unnumbered section)
  QString gDesktopPath;
  int32_t gIniTextLen = 0;  // byte length of the last ReadIni value
  QString gDllVersion;      // "a.b.c.d" or " File Not Found !! "
  QString gDllLogging;      // Vantor.ini [Log] Logging as read at start
  int16_t gInstanceNo = 0;

  // Control characters, one each.
  QString gSOH, gSI, gSO, gESC, gLF;

  // Port settings ([Comm], [COMEvent]).
  int16_t gPort = 0;
  int32_t gBoud = 0;
  QString gParity;  // "N", "O", "E" or ""
  int16_t gDataBit = 0;
  int16_t gUseDSR = 0;
  int16_t gUseCTS = 0;
  int32_t gAckTimer = 0;
  int32_t gRespTimer = 0;
  int16_t gNakRetry = 0;  // -1 unlimited
  int16_t gAckNakTimeoutMsgFlag = 0;
  int16_t gAckNakTimeoutRetry = 0;
  int16_t gRespTimeoutMsgFlag = 0;
  int16_t gRespTimeoutRetry = 0;
  int32_t gAckRetryWaitTimer = 0;
  int32_t gResRetryWaitTimer = 0;
  std::array<int16_t, 10> gEvtFlags{};  // 0_EVT_RXCHAR .. 9_EVT_RING

  // The device channel.
  QString gSendCommand;
  QString gReplyText;
  QString gReplyKind;
  QString gReplyStatus;
  QString gReplyCommand;
  int16_t gSendPending = 0;
  int16_t gPolling = 0;
  int16_t gLineBusy = 0;
  int16_t gPollBusy = 0;
  int16_t gPortOpen = 0;      // -1/0
  int16_t gResetWaiting = 0;  // -1/0
  int16_t gRSMode = 0;
  int16_t gCancelled = 0;  // -1/0
  int16_t gNakCount = 0;
  int16_t gTimerInterval = 0;

  // Values taken from device replies.
  QString gVersionText;
  QString gReText;
  QString gThTphRank, gThTphTemp, gThPw1, gThPw2, gThErRank, gThErLot, gThErTemp, gThBoardTemp;
  QString gTphDepth, gPrintPosition, gBackupVolt, gThermalUpAdj, gThermalDownAdj, gEraseUpAdj,
      gEraseDownAdj;

  // Run-time flags.
  int16_t gLangJapanese = 0;
  int16_t gStopRequest = 0;
  int16_t gAppClosing = 0;
  int16_t gDumpStop = 0;
  int16_t gAdminMode = 0;
  int16_t gRestartRequest = 0;  // -1/0
  int16_t gShowCountdown = 0;
  int16_t gRamClearActive = 0;
  float gProgressPct = 0;
  int32_t gBusyStartTick = 0;
  int32_t gBusyElapsed = 0;
  int16_t gVersionClickCount = 0;

  // The continuous write/read test.
  int16_t gRwTestRunning = 0;      // -1/0
  int16_t gRwCardInWait = 0;       // -1/0
  int16_t gRwCardOutDeferred = 0;  // -1/0
  int16_t gRwHexModel = 0;
  int16_t gRwM2Model = 0;
  float gRwWaitSeconds = 0;
  QString gWrTrack1Data, gWrTrack2Data, gWrTrack3Data;
  std::array<QString, 12> gWrPieces;

  // The device report of the EEPROM window.
  int16_t gReportMode = 0;  // -1/0
  QString gReportSeparator;
  QString gReportSerial;
  int16_t gReportPromptResult = 0;

  // Access and work values.
  QString gMenuPassword;
  QString gPasswordEntry;
  QString gScratchText;

  // Message tables (InitMessageTables).
  std::array<QString, 161> gErrText;
  std::array<QString, 21> gStatusText;
  std::array<QString, 21> gCardPosText;
  std::array<QString, 15> gTphRankText;
  std::array<QString, 15> gErRankText;
  std::array<QString, 10> gRangeTextA;
  std::array<QString, 10> gRangeTextB;
  std::array<QString, 10> gRangeTextC;
  std::array<QString, 10> gLotText;
};

// The one state block of the run.
MainModule& mm();

// Section name of this copy: base with gInstanceNo appended when it is not 0
// ("Comm" -> "Comm1"). [Application] and [MultiFormTab] are never numbered.
QString InstanceSection(const QString& base);

}  // namespace quorel
