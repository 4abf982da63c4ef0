// One port's log file. Every line is appended with its own open, write and
// close, so the file can be moved, read or deleted while the library runs;
// lines for one port number are serialised inside the process by a mutex and
// between processes by an flock on the file while the line is written (a
// lock that dies with its holder, so a crashed process freezes nobody).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vantor {

class CCommLogger {
 public:
  enum Level { kInfo = 0, kError = 1 };
  enum Config { kOff = -1, kAll = 0, kErrorsOnly = 1 };

  // fileName is the finished path ("" for no log); configured is kOff, kAll
  // or kErrorsOnly; port picks the in-process mutex.
  CCommLogger(std::string fileName, int configured, int port);
  // Appends one empty line when logging is on.
  ~CCommLogger();
  CCommLogger(const CCommLogger&) = delete;
  CCommLogger& operator=(const CCommLogger&) = delete;

  // Whether a message of this level would be written: the cheap test that
  // callers make before they build an expensive text.
  bool Enabled(int level) const {
    return configured_ != kOff && !fileName_.empty() && level >= configured_;
  }

  // "<time>:<pid>:<tid>:Inf|Err:<tag>: <text>". False when not written.
  bool Line(int level, const char* tag, const std::string& text);
  // An information line with the tag "Info    ".
  bool Info(const std::string& text);
  // An error line with the tag "ErrInfo ": fmt is one of the fixed error
  // texts and takes code as its one %d.
  bool ErrorCode(const char* fmt, int code);
  // The hex dump of count bytes.
  bool Dump(int level, const uint8_t* bytes, size_t count);

  const std::string& fileName() const { return fileName_; }
  int configured() const { return configured_; }

 private:
  bool Append(const std::string& data);

  const std::string fileName_;
  const int configured_;
  const int port_;
};

// fmt with code as its one %d (fmt is one of the library's fixed texts).
std::string FormatCode(const char* fmt, int code);

}  // namespace vantor
