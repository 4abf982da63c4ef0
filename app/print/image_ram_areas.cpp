#include "print/image_ram_areas.h"

#include "core/main_module.h"
#include "core/print_pages.h"
#include "print/bmp_card_print.h"

namespace quorel {

namespace {

constexpr int kLineWidth = 26;
constexpr int kTopLineBlanks = 13;

}  // namespace

QString SaveAreaCommand(const QString& area) { return QStringLiteral("IC:") + QLatin1Char(kImageBufferArea) + area; }

QString LoadAreaCommand(const QString& area) { return QStringLiteral("IC:") + area + QLatin1Char(kImageBufferArea); }

QStringList LoadTextCommands(const BmpMessageLines& lines, int printArea) {
  if (!AreaHasText(printArea)) return {};
  const QString top = QStringLiteral("0/0/32/");
  const QString body = QStringLiteral("0/0/361/");
  const QString large = print::Esc(QStringLiteral("e22"));
  const QString blank(kLineWidth, QLatin1Char(' '));
  return {print::ModeCommand(QStringLiteral("X0N0Y1K0F0")),
          print::PageCommand(top, {large + QString(kTopLineBlanks, QLatin1Char(' '))}),
          print::PageCommand(body, {blank, blank, blank, blank}),
          print::PageCommand(top, {large + lines[0]}),
          print::PageCommand(body, {lines[1], lines[2], lines[3], lines[4]})};
}

void SaveToRam(BmpJobLine& line, BmpJobView& view, const RamAreaChoices& choices) {
  MainModule& m = mm();
  // The save polls once more in its job start: twice after opening the port.
  if (!BmpJobStart(line, view, true) || BmpStopEnd(view)) return;
  view.Status(QStringLiteral("Data set"));
  BmpSend(line, SaveAreaCommand(choices.area));
  view.SetControlsEnabled(true);
  if (m.gStopRequest == 1) {
    view.StatusColour(kStatusCyan);
    view.Status(QStringLiteral("Stop"));
  }
}

void LoadImagePrint(BmpJobLine& line, BmpJobView& view, const RamAreaChoices& choices) {
  if (!BmpJobStart(line, view, false) || BmpStopEnd(view)) return;
  view.Status(QStringLiteral("Data set"));
  BmpSend(line, LoadAreaCommand(choices.area));
  if (BmpStopEnd(view)) return;
  const QStringList text = LoadTextCommands(choices.lines, choices.printArea);
  if (!text.isEmpty()) {
    BmpSend(line, text[0]);
    if (BmpStopEnd(view)) return;
    view.Status(QStringLiteral("TXT Data Transmit"));
    for (int i = 1; i < text.size(); ++i) BmpSend(line, text[i]);
    if (BmpStopEnd(view)) return;
  }
  view.Status(QStringLiteral("Data Set Finish"));
  RunCardPrint(line, view, choices.cardKind);
  view.SetControlsEnabled(true);
  view.StatusColour(kStatusCyan);
  view.Status(mm().gStopRequest == 1 ? QStringLiteral("Stop") : QString());
}

}  // namespace quorel
