#include "core/tool_windows.h"

#include "core/main_form.h"
#include "core/window_registry.h"
#include "eeprom/form_eep.h"
#include "eeprom/form_eep_msg.h"
#include "eeprom/form_memory_sw.h"
#include "print/form_bmp.h"
#include "testbench/form_mem_dump.h"
#include "testbench/form_mivor_test.h"
#include "testbench/form_yarsel.h"
#include "tools/file_and_port_factories.h"
#include "tools/form_emc.h"
#include "tools/version_disp.h"

namespace quorel {

void RegisterToolWindows(WindowRegistry& registry, [[maybe_unused]] MainForm& main) {
  registry.Register(QStringLiteral("FormFile"), ShowMode::kModeless, [&main] { return NewFormFile(main); });
  registry.Register(QStringLiteral("FormBMP"), ShowMode::kModeless,
                    [&main] { return new FormBMP(main.channel(), &main); });
  registry.Register(QStringLiteral("FormEEP"), ShowMode::kModeless,
                    [&main] { return new eep::FormEEP(main.channel()); });
  registry.Register(QStringLiteral("FormMEMDump"), ShowMode::kModeless,
                    [&main] { return new FormMEMDump(main.channel()); });
  registry.Register(QStringLiteral("FormMivorTest"), ShowMode::kModeless, [&main] { return FormMivorTest::Create(main.channel()); });
  registry.Register(QStringLiteral("FormYarsel"), ShowMode::kModeless, [&main] { return new FormYarsel(main.channel()); });
  registry.Register(QStringLiteral("FormEEPMsg"), ShowMode::kModeless, eep::FormEEPMsg::Factory(registry, main.channel()));
  registry.Register(QStringLiteral("FormCOM"), ShowMode::kModal, [&main] { return NewFormCOM(main); });
  registry.Register(QStringLiteral("FormMemorySW"), ShowMode::kModal,
                    [&main] { return new eep::FormMemorySW(main.channel(), [&main] { main.labelInit(); }); });
  registry.Register(QStringLiteral("VersionDisp"), ShowMode::kModeless, [] { return new VersionDisp; });
  registry.Register(QStringLiteral("FormEMC"), ShowMode::kModeless, [] { return new FormEMC; });
}

}  // namespace quorel
