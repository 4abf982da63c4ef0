#include "pty_line.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

std::string Errno(const char* what) { return std::string(what) + ": " + strerror(errno); }

}  // namespace

PtyLine::~PtyLine() { Close(); }

bool PtyLine::Open(std::string* error) {
  Close();
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) {
    *error = Errno("posix_openpt");
    return false;
  }
  char name[128];
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
      ptsname_r(master_, name, sizeof name) != 0) {
    *error = Errno("pty setup");
    Close();
    return false;
  }
  slavePath_ = name;
  slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) {
    *error = Errno("open pty slave");
    Close();
    return false;
  }
  // Raw both ways: no echo, no line editing, no CR/LF mapping, 8 bits.
  termios t;
  if (tcgetattr(slave_, &t) != 0) {
    *error = Errno("tcgetattr");
    Close();
    return false;
  }
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (tcsetattr(slave_, TCSANOW, &t) != 0) {
    *error = Errno("tcsetattr");
    Close();
    return false;
  }
  // The simulator may run as root and the host as a user (or the other way
  // round): anyone may open the line, as anyone may open a COM port in the
  // dialout group.
  chmod(name, 0666);
  const int flags = fcntl(master_, F_GETFL);
  fcntl(master_, F_SETFL, flags | O_NONBLOCK);
  return true;
}

bool PtyLine::Link(const std::string& linkPath, std::string* error) {
  const std::string tmp = linkPath + ".new";
  unlink(tmp.c_str());
  if (symlink(slavePath_.c_str(), tmp.c_str()) != 0) {
    *error = Errno(("symlink " + tmp).c_str());
    return false;
  }
  if (rename(tmp.c_str(), linkPath.c_str()) != 0) {
    *error = Errno(("rename to " + linkPath).c_str());
    unlink(tmp.c_str());
    return false;
  }
  linkPath_ = linkPath;
  return true;
}

void PtyLine::Unlink() {
  if (linkPath_.empty()) return;
  char target[256];
  const ssize_t n = readlink(linkPath_.c_str(), target, sizeof target - 1);
  if (n >= 0 && std::string(target, static_cast<size_t>(n)) == slavePath_) unlink(linkPath_.c_str());
  linkPath_.clear();
}

void PtyLine::HangUp() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

void PtyLine::Close() {
  Unlink();
  HangUp();
  if (slave_ >= 0) close(slave_);
  slave_ = -1;
  slavePath_.clear();
}

}  // namespace sim
