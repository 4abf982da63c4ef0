// The picture download: a picture file turned into print dots and sent to
// the device in one call, as "PI" hex text records or as "IB" binary blocks.
// Neither export has a port object of its own: every exchange goes through
// the exports of the text transaction and the raw binary transfers, each with
// its own checks, lock and log lines, so a closed or busy port is reported
// by the exchange that meets it.
#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "link_app.h"
#include "picture_load.h"
#include "print/print_data.h"
#include "vantor.h"

namespace {

constexpr int32_t kBusyTimeoutMs = 3000;
// The device answers a block with one byte; the read takes what comes.
constexpr int16_t kBlockAnswerSize = 512;
constexpr uint8_t kStx = 0x02;
constexpr uint8_t kAck = 0x06;
const uint8_t kVerdictPoll[] = {0x04, 0x05};  // EOT ENQ

// The width or height a last column or row index gives, as the 16-bit value
// the device takes: -1 gives 0 and 32767 wraps, and the builders refuse both.
int Extent(int16_t last) { return static_cast<int16_t>(last + 1); }

// The area's dots over the picture, by the library's own thresholds.
printdata::DotArea Area(const printdata::RgbImage& picture, int width, int height) {
  const vantor::CLinkApp& app = vantor::CLinkApp::Instance();
  printdata::DotArea area;
  area.picture = &picture;
  area.width = width;
  area.height = height;
  area.thresholds.lower = app.threshold(0);
  area.thresholds.middle = app.threshold(1);
  area.thresholds.upper = app.threshold(2);
  return area;
}

// The verdict is a status frame: STX first, "R" second, and a last byte that
// is the XOR of the bytes between the first and the last.
bool VerdictAccepted(const uint8_t* p, int n) {
  if (n < 2 || p[0] != kStx || p[1] != 'R') return false;
  uint8_t x = 0;
  for (int i = 1; i <= n - 2; ++i) x ^= p[i];
  return x == p[n - 1];
}

// Writes the bytes unframed and reads what the device answers. 0 with the
// answer in buffer[0 .. *got - 1], or the failing transfer's result.
int16_t Exchange(int32_t port, int32_t timeoutMs, int16_t dsrCheck, int16_t ctsCheck,
                 const uint8_t* bytes, size_t count, uint8_t* buffer, int16_t size, int16_t* got) {
  *got = 0;
  int16_t rc =
      crwSendBinaryDataQR(port, timeoutMs, dsrCheck, ctsCheck, bytes, static_cast<int16_t>(count));
  if (rc == CRW_OK) rc = crwReceiveBinaryData(port, timeoutMs, dsrCheck, buffer, size, got);
  return rc;
}

// Each block up to retries + 1 times until the device answers ACK. 0 when
// every block was taken, else the last try's result of the block that was
// not (120 for an answer other than ACK); the blocks after it stay unsent.
int16_t SendBlocks(int32_t port, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                   int16_t ctsCheck, const std::vector<std::vector<uint8_t>>& blocks) {
  uint8_t answer[kBlockAnswerSize];
  for (const std::vector<uint8_t>& block : blocks) {
    int16_t rc = CRW_OK;
    for (int attempt = 0; attempt <= retries; ++attempt) {
      int16_t got = 0;
      rc = Exchange(port, timeoutMs, dsrCheck, ctsCheck, block.data(), block.size(), answer,
                    kBlockAnswerSize, &got);
      if (rc == CRW_OK && !(got > 0 && answer[0] == kAck)) rc = CRW_BCC_RETRY_ERROR;
      if (rc == CRW_OK) break;
    }
    if (rc != CRW_OK) return rc;
  }
  return CRW_OK;
}

// EOT ENQ up to retries + 1 times until the device's status frame comes.
// The blocks are built in storage of their own, so the caller's block buffer
// size is not shared with an answer; the verdict is read into that many
// bytes, at least 512, as a block's answer is.
int16_t PollVerdict(int32_t port, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                    int16_t ctsCheck, int32_t blockBufferSize) {
  const int16_t size = static_cast<int16_t>(std::max<int32_t>(blockBufferSize, kBlockAnswerSize));
  std::vector<uint8_t> answer(static_cast<size_t>(size));
  int16_t rc = CRW_OK;
  for (int attempt = 0; attempt <= retries; ++attempt) {
    int16_t got = 0;
    rc = Exchange(port, timeoutMs, dsrCheck, ctsCheck, kVerdictPoll, sizeof kVerdictPoll,
                  answer.data(), size, &got);
    if (rc == CRW_OK && !VerdictAccepted(answer.data(), got)) rc = CRW_BCC_RETRY_ERROR;
    if (rc == CRW_OK) break;
  }
  return rc;
}

}  // namespace

extern "C" {

VANTOR_API int16_t crwPIDataSend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                                 int16_t lastColumn, int16_t lastRow, int16_t startColumn,
                                 int16_t rowBase, int32_t timeoutMs, int32_t recordBufferSize,
                                 const char* path, char** replyCode, char** status) {
  (void)retries;   // taken, not used: a record goes once, and a refused one ends the call
  (void)ctsCheck;  // the text transaction waits for no CTS
  try {
    const int width = Extent(lastColumn), height = Extent(lastRow);
    if (printdata::CheckPIArguments(width, height, startColumn, rowBase, recordBufferSize) !=
        printdata::kOk)
      return CRW_PARAMETER_ERROR;
    printdata::RgbImage picture;
    if (int rc = vantor::LoadPictureFile(path, &picture)) return static_cast<int16_t>(rc);
    std::vector<std::string> records;
    if (printdata::BuildPIRecords(Area(picture, width, height), startColumn, rowBase,
                                  recordBufferSize, &records) != printdata::kOk)
      return CRW_PARAMETER_ERROR;
    picture = printdata::RgbImage();
    // "PI" is the command code, the rest of the record its data.
    for (const std::string& record : records) {
      const int16_t rc =
          crwSendCommandRR(port, 1, timeoutMs, kBusyTimeoutMs, dsrCheck, "PI", record.c_str() + 2,
                           static_cast<int16_t>(record.size() - 2), replyCode, status, nullptr);
      if (rc != CRW_OK) return rc;
    }
    return CRW_OK;
  } catch (const std::bad_alloc&) {
    return CRW_PARAMETER_ERROR;
  }
}

VANTOR_API int16_t crwIBBinarySend(int32_t port, int16_t retries, int16_t dsrCheck,
                                   int16_t ctsCheck, int16_t lastColumn, int16_t lastRow,
                                   int16_t rowBase, int32_t timeoutMs, int32_t blockBufferSize,
                                   const char* path, char** replyCode, char** status) {
  try {
    const int width = Extent(lastColumn), height = Extent(lastRow);
    if (retries < 0 ||
        printdata::CheckIBArguments(width, height, rowBase, blockBufferSize) != printdata::kOk)
      return CRW_PARAMETER_ERROR;
    printdata::RgbImage picture;
    if (int rc = vantor::LoadPictureFile(path, &picture)) return static_cast<int16_t>(rc);
    std::vector<std::vector<uint8_t>> blocks;
    if (printdata::BuildIBBlocks(Area(picture, width, height), rowBase, blockBufferSize, &blocks) !=
        printdata::kOk)
      return CRW_PARAMETER_ERROR;
    picture = printdata::RgbImage();

    const int16_t rc = crwSendCommandRR(port, 1, timeoutMs, kBusyTimeoutMs, dsrCheck, "IB", "", 0,
                                        replyCode, status, nullptr);
    if (rc != CRW_OK) return rc;
    const int16_t blocksRc = SendBlocks(port, retries, timeoutMs, dsrCheck, ctsCheck, blocks);
    // The device is asked for its verdict even when a block failed: it
    // leaves its block mode on the poll.
    const int16_t verdictRc =
        PollVerdict(port, retries, timeoutMs, dsrCheck, ctsCheck, blockBufferSize);
    return blocksRc != CRW_OK ? blocksRc : verdictRc;
  } catch (const std::bad_alloc&) {
    return CRW_PARAMETER_ERROR;
  }
}

}  // extern "C"
