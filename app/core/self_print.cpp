#include "core/self_print.h"

#include "core/dialogs.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "core/print_pages.h"
#include "core/reply_fields.h"

namespace quorel {

void SelfPrint::CmdJIkoPD_Click(int pageIndex) {
  MainModule& m = mm();
  if (!m.gPortOpen) {
    host_.commIni();
    if (!m.gPortOpen) return;
    host_.poll();
  }
  AnswerLastReply(host_);

  // The page prints what this run's replies say, also an error reply; the
  // shared values, which other windows' model checks read, take only a
  // good reply (the channel's decoder has stored it already then).
  print::PageValues values;
  const ComuOutcome th = SendVia(host_, QStringLiteral("TH"));
  values.headRank = reply::Mid(m.gReplyText, 6, 1);
  if (AnsweredBy(th, QStringLiteral("TH")) && reply::EndsNormally(m.gReplyText)) m.gThTphRank = values.headRank;
  const ComuOutcome vs = SendVia(host_, QStringLiteral("VS"));
  values.versionText = reply::Data(m.gReplyText);
  if (AnsweredBy(vs, QStringLiteral("VS")) && reply::EndsNormally(m.gReplyText)) m.gVersionText = values.versionText;
  values.headTemp = m.gThTphTemp;
  SendVia(host_, print::ClearCommand());

  if (pageIndex == 0) {
    MsgBox(QStringLiteral("印字データを選択してください。"), BoxButtons::kOk, BoxIcon::kExclamation,
           QStringLiteral("警告"));
    return;
  }
  // Each command goes whatever the end code of the one before.
  for (const QString& command : print::SelfPrintPage(pageIndex, values)) {
    SendVia(host_, command);
    if (m.gAppClosing == 1) return;
  }
}

}  // namespace quorel
