// The window's job buttons drive the download job and the card print:
// offscreen, on the scripted library binding.
#include <QPushButton>

#include "core/versions.h"
#include "form_bmp_fixture.h"

namespace quorel::testing {
namespace {

using BmpJobButtons = FormBmpTest;

TEST_F(BmpJobButtons, UnopenablePortShowsTheOpenErrorThenOneCommErrorBox) {
  Open();
  mm().gPort = 4;
  link_.SetDefault("crwOpenPort", FakeResult{CRW_PORT_NOT_OPEN, {}, {}, 0, {}});
  dialogs_.ExpectBox(QStringLiteral("COM4オープンエラー"),
                     QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。"),
                     BoxAnswer::kOk);
  dialogs_.ExpectBox(QStringLiteral("通信エラー"),
                     QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxAnswer::kOk);
  ui().Get<QPushButton>(QStringLiteral("CmdBMPTrans"))->click();
  EXPECT_EQ(dialogs_.pending(), 0u);
  EXPECT_EQ(dialogs_.recorded().size(), 2u);
  EXPECT_TRUE(link_.SentCommands().empty());
  EXPECT_TRUE(ui().Enabled(QStringLiteral("CmdBMPTrans")));
  EXPECT_FALSE(ui().Enabled(QStringLiteral("CmdStop")));

  // The card print's own start does the same.
  dialogs_.ExpectBox(QStringLiteral("COM4オープンエラー"),
                     QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。"),
                     BoxAnswer::kOk);
  dialogs_.ExpectBox(QStringLiteral("通信エラー"),
                     QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxAnswer::kOk);
  ui().Get<QPushButton>(QStringLiteral("CmdCIPR"))->click();
  EXPECT_EQ(dialogs_.pending(), 0u);
  EXPECT_TRUE(link_.SentCommands().empty());
}

}  // namespace
}  // namespace quorel::testing
