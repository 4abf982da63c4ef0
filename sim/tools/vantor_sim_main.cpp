// vantor-sim: the simulated card reader/writer as a command-line tool. It
// puts the device on DIR/COMn, then reads control lines from a script or
// stdin until it is told to stop.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "sim/simulator.h"

namespace {

const char kUsage[] =
    "usage: vantor-sim --dir DIR --com N [--script FILE] [--transcript FILE] [--exit-at-end]\n"
    "\n"
    "Puts a simulated card reader/writer on a pseudo-terminal linked as DIR/COMN\n"
    "(with its line side channel DIR/COMN.lines), prints \"ready COMN -> /dev/pts/X\"\n"
    "and reads control lines from FILE, else from stdin. A script may hold \"wait MS\"\n"
    "lines and # comments. The transcript of the line goes to FILE, one line per\n"
    "event. It runs until SIGTERM or SIGINT; with --exit-at-end it also stops at the\n"
    "end of the script or of stdin. The link and side channel are removed on exit.\n"
    "\n";

struct Args {
  std::string dir, script, transcript;
  int com = 0;
  bool exitAtEnd = false;
};

bool ParseArgs(int argc, char** argv, Args* a) {
  for (int i = 1; i < argc; ++i) {
    const std::string k = argv[i];
    auto value = [&](std::string* v) {
      if (i + 1 >= argc) return false;
      *v = argv[++i];
      return true;
    };
    std::string com;
    if (k == "--dir") {
      if (!value(&a->dir)) return false;
    } else if (k == "--com") {
      if (!value(&com)) return false;
      a->com = std::atoi(com.c_str());
    } else if (k == "--script") {
      if (!value(&a->script)) return false;
    } else if (k == "--transcript") {
      if (!value(&a->transcript)) return false;
    } else if (k == "--exit-at-end") {
      a->exitAtEnd = true;
    } else {
      return false;
    }
  }
  return !a->dir.empty() && a->com > 0;
}

// Waits up to ms (negative: for ever) for SIGTERM or SIGINT; true when one came.
bool WaitForSignal(int sigFd, int ms) {
  pollfd p{sigFd, POLLIN, 0};
  return poll(&p, 1, ms) > 0;
}

// Runs one control line; "wait MS" pauses (a signal cuts it short). False
// when a signal asks to stop.
bool RunLine(sim::Simulator& dev, int sigFd, const std::string& line, int lineNo, int* errors) {
  int ms = 0;
  char extra;
  if (std::sscanf(line.c_str(), " wait %d %c", &ms, &extra) == 1 && ms >= 0)
    return !WaitForSignal(sigFd, ms);
  const std::string error = dev.Control(line);
  if (!error.empty()) {
    std::fprintf(stderr, "vantor-sim: line %d: %s\n", lineNo, error.c_str());
    ++*errors;
  }
  return true;
}

// Reads stdin line by line while watching for signals. False when a signal
// asks to stop, true at end of input.
bool RunStdin(sim::Simulator& dev, int sigFd, int* errors) {
  std::string held;
  int lineNo = 0;
  char buf[4096];
  for (;;) {
    pollfd p[2] = {{STDIN_FILENO, POLLIN, 0}, {sigFd, POLLIN, 0}};
    if (poll(p, 2, -1) < 0) continue;
    if (p[1].revents & POLLIN) return false;
    if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
      if (!held.empty() && !RunLine(dev, sigFd, held, ++lineNo, errors)) return false;
      return true;
    }
    held.append(buf, static_cast<size_t>(n));
    size_t nl;
    while ((nl = held.find('\n')) != std::string::npos) {
      const std::string line = held.substr(0, nl);
      held.erase(0, nl + 1);
      if (!RunLine(dev, sigFd, line, ++lineNo, errors)) return false;
    }
  }
}

bool RunScript(sim::Simulator& dev, int sigFd, const std::string& path, int* errors) {
  std::ifstream in(path);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line))
    if (!RunLine(dev, sigFd, line, ++lineNo, errors)) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      std::fputs(sim::Simulator::ControlHelp(), stdout);
      return 0;
    }
  }
  Args args;
  if (!ParseArgs(argc, argv, &args)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!args.script.empty() && !std::ifstream(args.script)) {
    std::fprintf(stderr, "vantor-sim: cannot read %s\n", args.script.c_str());
    return 2;
  }

  // Signals arrive through a descriptor; blocked before the service thread
  // starts, so it never takes them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  const int sigFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
  if (sigFd < 0) {
    std::perror("vantor-sim: signalfd");
    return 1;
  }

  sim::Simulator dev;
  std::string error;
  if (!dev.Start({args.dir, args.com, args.transcript}, &error)) {
    std::fprintf(stderr, "vantor-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("ready COM%d -> %s\n", args.com, dev.SlavePath().c_str());
  std::fflush(stdout);

  int errors = 0;
  const bool reachedEnd = args.script.empty() ? RunStdin(dev, sigFd, &errors)
                                              : RunScript(dev, sigFd, args.script, &errors);
  if (reachedEnd && !args.exitAtEnd) WaitForSignal(sigFd, -1);
  dev.Stop();
  close(sigFd);
  return reachedEnd && args.exitAtEnd && errors > 0 ? 3 : 0;
}
