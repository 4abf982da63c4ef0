#include "print/assembler_export_job.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <vector>

#include "core/dialogs.h"
#include "core/main_module.h"
#include "platform/profile.h"
#include "print/assembler_export.h"

namespace quorel {

namespace {

// The view's pixels as they are now. The window's events run between rows
// and may repaint the view; the export reads what it started with.
printdata::RgbImage Snapshot(const printdata::RgbView& v) {
  printdata::RgbImage image;
  if (v.data == nullptr || v.width <= 0 || v.height <= 0) return image;
  image.width = v.width;
  image.height = v.height;
  const size_t row = static_cast<size_t>(v.width) * 3;
  image.rgb.resize(row * static_cast<size_t>(v.height));
  for (int y = 0; y < v.height; ++y)
    std::memcpy(image.rgb.data() + row * static_cast<size_t>(y), v.data + v.stride * static_cast<size_t>(y), row);
  return image;
}

}  // namespace

QString AssemblerFilePath(const QString& bitmapFolder) {
  return bitmapFolder + QString::fromLatin1(kAssemblerFileName);
}

QString AssemblerWriteError(const QString& path) {
  return QStringLiteral("The file cannot be written:\r\n") + QDir::toNativeSeparators(path);
}

AssemblerEnd ExportAssemblerFile(BmpJobView& view, const QString& bitmapFolder, const PrintArea& area,
                                 const printdata::Thresholds& thresholds) {
  view.SetControlsEnabled(false);
  view.PictureRefresh();
  const QString path = AssemblerFilePath(bitmapFolder);
  view.StatusColour(kStatusYellow);
  view.Status(QStringLiteral("Data Convert"));
  view.Progress(0, 0, area.lastRow);
  view.Progress(1, 0, -1);
  mm().gStopRequest = 0;

  const printdata::RgbImage pixels = Snapshot(view.Pixels());
  AssemblerHooks hooks;
  hooks.stop = [] { return mm().gStopRequest == 1; };
  hooks.afterRow = [&view](int row) {
    view.LineDisp(row);
    view.Progress(0, row, -1);
    view.PumpEvents();
  };
  const AssemblerData data =
      BuildAssemblerData(printdata::ViewOf(pixels), area.lastColumn, area.lastRow, thresholds, hooks);

  view.StatusColour(kStatusCyan);
  if (!plat::WriteFileAtomic(QFile::encodeName(path).toStdString(), data.bytes)) {
    view.Status(QString());
    MsgBox(AssemblerWriteError(path), BoxButtons::kOk, BoxIcon::kCritical);
    view.SetControlsEnabled(true);
    return AssemblerEnd::kNotWritten;
  }
  view.Status(data.stopped ? QStringLiteral("Stop") : QStringLiteral("Data Set Finish"));
  view.SetControlsEnabled(true);
  return data.stopped ? AssemblerEnd::kStopped : AssemblerEnd::kDone;
}

}  // namespace quorel
