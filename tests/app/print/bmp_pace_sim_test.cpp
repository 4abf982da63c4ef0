// The "IB" download of the tallest area (150 blocks of 164 bytes, each
// answered with one byte) against a device that paces the line at 115200
// baud, 11 bits a character: the download takes at most a tenth more than
// its bytes take on the wire. Each block's answer is followed by the port's
// one-millisecond quiet read, so that tenth is mostly spoken for; a wait
// where none belongs, or a slow turn between blocks, shows at once.
//
// The figures are about this process, not the machine's load: ctest runs
// this test alone, and the best of three runs counts. They count in an
// optimised build (scripts/test runs one for this test); a sanitizer build
// is slower in every step and is held to a looser bound.
#include <poll.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

#include "bmp_job_sim_fixture.h"

namespace quorel::testing {
namespace {

#ifdef QUOREL_SANITIZED
constexpr double kTenth = 1.2;
#else
constexpr double kTenth = 1.1;
#endif
constexpr int kBlocks = 150;
constexpr int kRuns = 3;
// The blocks and their one-byte answers at 11 bits a byte.
constexpr double kWireSeconds = kBlocks * (164.0 + 1) * 11 / 115200;

// What a one-millisecond wait costs on this machine, in ms: the timer's
// slack and the wake-up come on top of it.
double MillisecondWaitCost() {
  int fds[2];
  if (pipe(fds) != 0) return 1.0;
  pollfd p{fds[0], POLLIN, 0};
  QElapsedTimer t;
  t.start();
  constexpr int kWaits = 50;
  for (int i = 0; i < kWaits; ++i) poll(&p, 1, 1);
  const double cost = static_cast<double>(t.nsecsElapsed()) / 1e6 / kWaits;
  close(fds[0]);
  close(fds[1]);
  return cost;
}

class BmpPaceSim : public BmpJobSim {
 protected:
  void SetUp() override {
    BmpJobSim::SetUp();
    UseArea(1);
    c_.ib = true;
    mm().gBoud = 115200;  // the fixture's 8E1 at this rate
    channel_.commClose();
    Open();
    Control("pace 115200 11");
  }
  // The shortest of up to kRuns downloads, in seconds, taken from the job's
  // time label `index`; stops once one is within the bound.
  double BestOf(int index, double bound) {
    double best = 1e9;
    for (int run = 0; run < kRuns && best > bound; ++run) {
      Control("image clear");
      ExpectCardBox();
      BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
      EXPECT_EQ(Ram(1), Expected(1));
      if (!jobView_.times[static_cast<size_t>(index)]) {
        ADD_FAILURE() << "no time shown";
        break;
      }
      best = std::min(best, *jobView_.times[static_cast<size_t>(index)] / 1000.0);
    }
    return best;
  }
};

TEST_F(BmpPaceSim, IbDownloadOfAreaOneTakesAtMostATenthOverItsWireTime) {
  // A machine whose millisecond waits overrun more than this one's
  // (1.1 ms) may add its overrun once a block; nothing else is allowed for.
  const double overrun = std::max(0.0, MillisecondWaitCost() - 1.1) * kBlocks / 1000;
  const double bound = kTenth * kWireSeconds + overrun;

  // The program's block phase: the "IB" reply to the last block's answer.
  const double program = BestOf(1, bound);
  std::printf("IB block phase, area 1, 115200 baud: %.3f s; wire time %.3f s (%.3fx)\n", program, kWireSeconds,
              program / kWireSeconds);
  EXPECT_LE(program, bound);

  // The library's own call for comparison: it also converts the picture and
  // exchanges the "IB" command and the closing poll, which the block phase
  // leaves out, so only a wait where none belongs is caught here.
  c_.library = true;
  c_.filePath = PictureFile(600);
  const double libraryBound = (kTenth + 0.05) * kWireSeconds + overrun;
  const double library = BestOf(0, libraryBound);
  std::printf("library call, area 1, 115200 baud: %.3f s (%.3fx)\n", library, library / kWireSeconds);
  EXPECT_LE(library, libraryBound);
}

}  // namespace
}  // namespace quorel::testing
