// The port object's life: creation from the settings file, open, close and
// the refusals every transaction starts with.
#include "comm_port.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "call_trace.h"
#include "com_enum.h"
#include "log_texts.h"
#include "platform/com_map.h"
#include "platform/log_name.h"
#include "platform/mailbox.h"
#include "platform/open_reason.h"
#include "port_settings.h"

namespace vantor {
namespace {

int LogLevelOf(int32_t logging) {
  if (logging == 0) return CCommLogger::kAll;
  if (logging == 1) return CCommLogger::kErrorsOnly;
  return CCommLogger::kOff;
}

// The parity letter of crwOpenPort; false for any other.
bool ParityOf(char c, plat::Parity* out) {
  switch (c) {
    case 'N': case 'n': *out = plat::Parity::None; return true;
    case 'O': case 'o': *out = plat::Parity::Odd; return true;
    case 'E': case 'e': *out = plat::Parity::Even; return true;
    default: return false;
  }
}

}  // namespace

CCommPort::CCommPort(int16_t port) : port_(port) {
  const PortSettings s = ReadPortSettings(SettingsFilePath());
  log_.reset(new CCommLogger(plat::FormatLogFileName(s.logFileName, port, std::string()),
                             LogLevelOf(s.logging), port));
  delayMs_ = s.delayMs;
  writeTimeoutMs_ = s.writeTimeoutMs;
  // Reading the version means scanning the library file: only when it shows.
  if (log_->Enabled(CCommLogger::kInfo)) {
    const std::string& version = LibraryVersion();
    if (!version.empty()) log_->Info("DLL Version = " + version);
  }
  mailbox_ = plat::Mailbox::ForThisThread();
  self_ = std::make_shared<std::atomic<CCommPort*>>(this);
}

CCommPort::~CCommPort() {
  // Records still waiting in a mailbox find no port any more.
  self_->store(nullptr);
  CloseQuietly();
}

int16_t CCommPort::OpenPort(int32_t baud, const char* dataBits, const char* parity, int* openError) {
  CallTrace t(*log_, callLock_, "crwOpenPort");
  if (state_.load() == kOpen) return t.Fail(CRW_NAK, kErrAlreadyOpened);
  if (!dataBits || !parity) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);

  const std::string path = plat::ComDevicePath(port_);
  std::unique_ptr<plat::SerialLine> line;
  int err = ENODEV;
  if (!path.empty()) line = plat::SerialLine::Open(path, plat::ComSideChannelPath(port_), &err);
  if (!line) {
    // The system's reason first: a user who may not open the device file
    // (not in its group) reads why, not only that.
    log_->Line(CCommLogger::kError, kTagErrInfo, plat::OpenFailureReason(port_, path, err));
    if (openError) *openError = err;
    return t.Fail(CRW_PORT_NOT_OPEN, kErrCannotOpen);
  }
  if (log_->Enabled(CCommLogger::kInfo)) {
    log_->Info("PortName is " + path);
    for (const std::string& text : ComDriverLogLines(port_)) log_->Info(text);
  }

  // From here on a refusal closes the line again as `line` goes out of
  // scope. Linux keeps its queue sizes fixed: nothing to set for them.
  plat::LineSettings s;
  if (!line->GetSettings(&s) || baud < 1) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  if (dataBits[0] != '7' && dataBits[0] != '8') return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  const long size = std::strtol(dataBits, nullptr, 10);  // "8x" is 8; "80" fails below
  if (!ParityOf(parity[0], &s.parity)) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  s.baud = static_cast<uint32_t>(baud);
  s.byteSize = static_cast<uint8_t>(size > 0 && size < 256 ? size : 0);
  s.binary = true;
  s.ctsOutFlow = true;
  s.dsrOutFlow = true;
  s.xonOut = false;
  s.xonIn = false;
  const plat::LineControl mode =
      handshake_.load() == 1 ? plat::LineControl::Handshake : plat::LineControl::Enable;
  s.dtrControl = mode;
  s.rtsControl = mode;
  if (!line->SetSettings(s)) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  // A one-byte read waits 1 ms (ReadComm); a write may take WriteFileTimeOut.
  line->SetWriteTimeoutMs(static_cast<uint32_t>(writeTimeoutMs_));

  line_ = std::move(line);
  if (!lineThread_.joinable()) StartLineEvents();
  responseProc_.store(nullptr);
  binaryProc_.store(nullptr);
  lineProc_.store(nullptr);
  state_.store(kOpen);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::ClosePort() {
  CallTrace t(*log_, callLock_, "crwClosePort");
  if (state_.load() != kOpen || !line_) return t.Fail(CRW_NAK, kErrAlreadyClosed);
  // close() releases the descriptor whatever it reports, so the port is
  // closed afterwards in every case.
  ReleaseLine();
  return t.Ok(CRW_OK);
}

void CCommPort::CloseQuietly() {
  std::lock_guard<std::mutex> lock(callLock_);
  ReleaseLine();
}

void CCommPort::ReleaseLine() {
  StopWorkerQuietly();
  StopLineEvents();
  line_.reset();
  state_.store(kClosed);
}

void CCommPort::StopWorkerQuietly() {
  if (!workerThread_.joinable()) return;
  quiet_.store(1);
  {
    std::lock_guard<std::mutex> lock(workerLock_);
    workerStop_.store(1);
  }
  workerThread_.join();
  workerBusy_.store(false);
  quiet_.store(0);
}

void CCommPort::StopLineEvents() {
  if (!lineThread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(lineLock_);
    lineStop_.store(1);
  }
  lineWake_.Signal();
  lineThread_.join();
}

int16_t CCommPort::CheckReady(CallTrace& t, bool testBusy) {
  if (state_.load() != kOpen) return t.Fail(CRW_PORT_NOT_OPEN, kErrNotOpened);
  if (testBusy && workerBusy_.load()) return t.Fail(CRW_PORT_BUSY, kErrPortBusy);
  return CRW_OK;
}

}  // namespace vantor
