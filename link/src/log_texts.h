// The port log's fixed texts: the tags every line carries and the error texts
// of the result codes. Each error text takes the result code as its one %d.
#pragma once

namespace vantor {

// Tags, each exactly 8 characters.
constexpr const char kTagEnter[] = "Enter   ";
constexpr const char kTagLock[] = "CSLock  ";
constexpr const char kTagErrInfo[] = "ErrInfo ";
constexpr const char kTagInfo[] = "Info    ";
constexpr const char kTagUnlock[] = "CSUnlock";
constexpr const char kTagExit[] = "Exit    ";
constexpr const char kTagErrExit[] = "ErrExit ";

constexpr const char kTextReturnValue[] = "Return Value is %d";

constexpr const char kErrNak[] = "ErrorCode %d: NAK Response";
constexpr const char kErrNoData[] = "ErrorCode %d: No Receive Data";
constexpr const char kErrAlreadyOpened[] = "ErrorCode %d: Serial Port is already opened";
constexpr const char kErrAlreadyClosed[] = "ErrorCode %d: Serial Port is already closed";
constexpr const char kErrParameter[] = "ErrorCode %d: Parameter Error";
constexpr const char kErrNotOpened[] = "ErrorCode %d: Serial Port is not opened yet";
constexpr const char kErrCannotOpen[] = "ErrorCode %d: Serial Port cannot be opened";
constexpr const char kErrTimeoutLine[] = "ErrorCode %d: Timeout Error.";  // the line routines
constexpr const char kErrTimeoutRetry[] = "ErrorCode %d: Timeout Error";  // after the last try
constexpr const char kErrCtsTimeout[] = "ErrorCode %d: CTS Timeout Error";
constexpr const char kErrDsrTimeout[] = "ErrorCode %d: DSR Timeout Error";
constexpr const char kErrDsrLost[] = "ErrorCode %d: DSR Error.";
constexpr const char kErrBusyTimeout[] = "ErrorCode %d: Busy Timeout Error.";
constexpr const char kErrBccRetry[] = "ErrorCode %d: BCC Retry Error";
constexpr const char kErrBufferOver[] = "ErrorCode %d: BUFFEROVER";
constexpr const char kErrPortBusy[] = "ErrorCode %d: Serial Port is busy";
constexpr const char kErrSend1[] = "ErrorCode %d: WIN32 API Error (Send1)";
constexpr const char kErrSend2[] = "ErrorCode %d: WIN32 API Error (Send2)";
constexpr const char kErrSend3[] = "ErrorCode %d: WIN32 API Error (Send3)";
constexpr const char kErrReceive[] = "ErrorCode %d: WIN32 API Error (Receive)";
constexpr const char kErrAlreadyRegistered[] = "ErrorCode %d: This port has already been registered. ";
constexpr const char kErrNoThread[] = "ErrorCode %d: The function failed in making the thread. ";

}  // namespace vantor
