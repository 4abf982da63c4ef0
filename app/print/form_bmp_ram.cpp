// The bitmap window's stored image areas and its assembler file.
#include <QComboBox>

#include "core/main_module.h"
#include "print/assembler_export_job.h"
#include "print/bmp_download_job.h"
#include "print/form_bmp.h"
#include "print/image_ram_areas.h"

namespace quorel {

namespace {

RamAreaChoices RamChoices(const BmpJobChoices& job, const QString& area) {
  RamAreaChoices c;
  c.area = area;
  c.cardKind = job.cardKind;
  c.printArea = job.area;
  c.lines = job.lines;
  return c;
}

}  // namespace

// Each action started from its own button begins with the stop flag down:
// a Stop that ended an earlier job must not end this one at its first test.

void FormBMP::CmdSaveRAM_Click() {
  if (mm().gResetWaiting) return;
  mm().gStopRequest = 0;
  const RamAreaChoices c = RamChoices(JobChoices(), saveArea_->currentText());
  RunPortJob([&c](BmpJobLine& line, BmpJobView& view) { SaveToRam(line, view, c); });
  if (mm().gStopRequest != 1 && isVisible()) ui_.Focus(QStringLiteral("CmdSaveRAM"));
}

void FormBMP::CmdLoadRAM_Click() {
  if (mm().gResetWaiting) return;
  mm().gStopRequest = 0;
  const RamAreaChoices c = RamChoices(JobChoices(), loadArea_->currentText());
  RunPortJob([&c](BmpJobLine& line, BmpJobView& view) { LoadImagePrint(line, view, c); });
}

void FormBMP::MenuFileH8Assembla_Click() {
  RunPortJob([this](BmpJobLine&, BmpJobView& view) {
    ExportAssemblerFile(view, bitmapFolder_, area_, DotThresholds());
  });
}

}  // namespace quorel
