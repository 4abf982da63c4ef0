#include "core/main_services.h"

#include <QLabel>
#include <QPushButton>
#include <functional>

#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/maintenance_commands.h"
#include "core/rw_test.h"
#include "core/self_print.h"
#include "core/window_registry.h"

namespace quorel {
namespace {

const QString kEmc = QStringLiteral("FormEMC");

}  // namespace

MainServices::MainServices(WidgetControls& ui, DeviceChannel& channel, WindowRegistry& windows, int16_t& busy)
    : ui_(ui),
      windows_(windows),
      host_(std::make_unique<ChannelJobHost>(channel)),
      maintenance_(std::make_unique<MaintenanceCommands>(ui, *host_, busy)),
      selfPrint_(std::make_unique<SelfPrint>(*host_)),
      rwTest_(std::make_unique<RwTest>(ui, *host_)) {
  // A running loop shows its readings centred in the action label.
  maintenance_->SetLoopStyle([this](bool running) {
    if (auto* label = ui_.Get<QLabel>(QStringLiteral("Label37")))
      label->setAlignment(running ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
  });
  rwTest_->SetEmcWindow([this] { windows_.Open(kEmc); },
                        [this] {
                          if (QWidget* emc = windows_.Loaded(kEmc)) emc->close();
                        });
}

MainServices::~MainServices() = default;

void MainServices::Wire(QWidget* context) {
  const auto click = [&](const QString& name, int index, std::function<void()> handler) {
    if (auto* button = ui_.Get<QPushButton>(name, index))
      QObject::connect(button, &QPushButton::clicked, context, std::move(handler));
  };
  for (int i : {0, 1, 3, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15})
    click(QStringLiteral("Command2"), i, [this, i] { maintenance_->Command2_Click(i); });
  click(QStringLiteral("Command34"), -1, [this] { maintenance_->Command34_Click(); });
  click(QStringLiteral("CmdJIkoPD"), -1,
        [this] { selfPrint_->CmdJIkoPD_Click(ui_.ListIndex(QStringLiteral("CmbJIkoPD"))); });
  click(QStringLiteral("CmdRWTest"), -1, [this] { rwTest_->CmdRWTest_Click(); });
}

}  // namespace quorel
