#include "core/tool_windows.h"

#include "core/window_registry.h"
#include "tools/version_disp.h"

namespace quorel {

void RegisterToolWindows(WindowRegistry& registry, [[maybe_unused]] MainForm& main) {
  registry.Register(QStringLiteral("FormFile"), ShowMode::kModeless);
  registry.Register(QStringLiteral("FormBMP"), ShowMode::kModeless);
  registry.Register(QStringLiteral("FormEEP"), ShowMode::kModeless);
  registry.Register(QStringLiteral("FormMEMDump"), ShowMode::kModeless);
  registry.Register(QStringLiteral("FormMivorTest"), ShowMode::kModeless);
  registry.Register(QStringLiteral("FormYarsel"), ShowMode::kModeless);
  registry.Register(QStringLiteral("FormEEPMsg"), ShowMode::kModeless);
  registry.Register(QStringLiteral("FormCOM"), ShowMode::kModal);
  registry.Register(QStringLiteral("FormMemorySW"), ShowMode::kModal);
  registry.Register(QStringLiteral("VersionDisp"), ShowMode::kModeless, [] { return new VersionDisp; });
}

}  // namespace quorel
