#include "eeprom/eep_settings_wiring.h"

#include <QAbstractButton>
#include <memory>

#include "core/form_controls.h"
#include "eeprom/eep_counters.h"
#include "eeprom/eep_settings_mivor.h"
#include "eeprom/eep_settings_word.h"
#include "eeprom/eep_tables.h"

namespace quorel::eep {
namespace {

struct Panels {
  explicit Panels(EepFrame& frame) : mivor(frame), words(frame), counters(frame) {}
  MivorSettings mivor;
  WordFamilySettings words;
  EepCounters counters;
};

template <typename Fn>
void OnClick(WidgetControls& controls, QObject* context, const QString& name, int index, Fn fn) {
  if (auto* b = controls.Get<QAbstractButton>(name, index)) QObject::connect(b, &QAbstractButton::clicked, context, fn);
}

}  // namespace

void InstallSettingsAndCounters(EepFrame& frame, WidgetControls* controls, QObject* context) {
  auto panels = std::make_shared<Panels>(frame);
  EepFrame::Handlers& h = frame.handlers();
  h.settings = [panels](Family f) {
    if (f == Family::kMivor)
      panels->mivor.Read();
    else
      panels->words.Read(f);
  };
  h.counters = [panels](Family f) { panels->counters.Read(f); };
  h.counterWrite = [panels](Family f) { panels->counters.Write(f); };
  if (!controls) return;
  for (int i = 0; i < kMivorSettings; ++i)
    OnClick(*controls, context, QStringLiteral("EEPSetCmd_Mivor"), i, [panels, i] { panels->mivor.Change(i); });
  for (Family f : {Family::kDastel, Family::kQuenby, Family::kFolsk})
    for (int i = 0; i < kWordFamilySettings; ++i)
      OnClick(*controls, context, Named(QStringLiteral("EEPSetCmd"), f), i,
              [panels, f, i] { panels->words.Change(f, i); });
  for (Family f : {Family::kMivor, Family::kDastel, Family::kQuenby, Family::kFolsk}) {
    const bool mivor = f == Family::kMivor;
    const QString suffix = mivor ? QStringLiteral("_Mivor") : QStringLiteral("_Dastel");
    const int i = mivor ? -1 : SharedIndex(f);
    OnClick(*controls, context, QStringLiteral("ErrorSyokika") + suffix, i,
            [panels, f] { panels->counters.Reset(f, false); });
    OnClick(*controls, context, QStringLiteral("ErrorPassSyokika") + suffix, i,
            [panels, f] { panels->counters.Reset(f, true); });
  }
}

}  // namespace quorel::eep
