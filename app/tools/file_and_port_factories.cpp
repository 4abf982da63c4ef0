#include "tools/file_and_port_factories.h"

#include <memory>

#include "core/device_channel.h"
#include "core/link_api.h"
#include "core/main_form.h"
#include "core/main_module.h"
#include "tools/channel_runner_device.h"
#include "tools/form_com.h"
#include "tools/form_file.h"

namespace quorel {

QWidget* NewFormFile(MainForm& main) {
  auto consoleSend = [&main](const QString& command) {
    main.controls().SetText(QStringLiteral("TxtSendBox"), command);
    main.console().cmdKaishi_Click();
  };
  return new FormFile(std::make_unique<ChannelRunnerDevice>(main.channel(), consoleSend));
}

QWidget* NewFormCOM(MainForm& main) {
  return new FormCOM(Link(), [&main] {
    const MainModule& m = mm();
    main.controls().SetValue(QStringLiteral("CTScheckd"), m.gUseCTS == 1 ? 1 : 0);
    main.controls().SetValue(QStringLiteral("DSRcheckd"), m.gUseDSR == 1 ? 1 : 0);
    main.controls().SetText(QStringLiteral("LbComViewer"), QString::number(m.gPort));
    // The rest of what the channel's tick shows, which may be stopped now.
    main.channel().ShowPortState();
  });
}

}  // namespace quorel
