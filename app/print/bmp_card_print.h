// The card print sequence of the bitmap window ("Card In Print"), which
// every download ends with, and the job start the window's device actions
// share.
#pragma once
#include <QString>

#include "print/bmp_job_ports.h"

namespace quorel {

// The job start: nothing while the channel waits for a restart; else the
// controls locked, the port opened when closed (one attempt: a port that
// stays closed shows "通信できません！", unlocks and ends) and polled after
// opening, one poll more when pollAgain, and "PA" or "CL" for what the last
// reply says. False: the job ends.
bool BmpJobStart(BmpJobLine& line, BmpJobView& view, bool pollAgain);

// A window action's stop test: when Stop was pressed, the status shows a
// cyan "Stop", the controls are unlocked and the action must end (true).
bool BmpStopEnd(BmpJobView& view);

// gSendCommand = command, then comu.
ComuOutcome BmpSend(BmpJobLine& line, const QString& command);

// "Card In" and the box "Please Insert a card"; on OK "MS:B" + kind, "CI",
// "WR", "PR", "CO" with a stop test after each but the first; "Finish".
// Replies are not judged. False when it ended early (stop, box cancelled,
// no port).
bool RunCardPrint(BmpJobLine& line, BmpJobView& view, const QString& cardKind);

}  // namespace quorel
