// EEPROM data files as the import reads them: whatever bytes a ".eep" file
// holds, reading it for any family must not crash, must give one row per
// row of the family when the title fits and none otherwise, and a row written
// back into the file must read back unchanged.
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "core/main_module.h"
#include "eeprom/eep_file.h"
#include "platform/profile.h"

namespace {

using namespace quorel;
using namespace quorel::eep;

const std::string& TempFile() { return fuzzsupport::ScratchFile("fuzz_eep_file", ".eep"); }

void Check(bool ok, const char* what) { fuzzsupport::Check(ok, "fuzz_eep_file", what); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (!plat::WriteFileAtomic(TempFile(), bytes)) return 0;
  const QString path = QString::fromStdString(TempFile());
  mm().gInstanceNo = static_cast<int16_t>(data[0] & 1);
  const Family f = FamilyOfTab(data[0] >> 1 & 3);
  const EepFileRows rows = ReadEepFile(path, f);
  Check(rows.rows.size() == (rows.titleFits ? RowCount(f) : 0), "row count");
  // Writing the title and a row into whatever the file held reads back.
  WriteEepTitle(path, f);
  const QString row = QStringLiteral("0123456789ABCDEF");
  WriteEepRow(path, 1, row);
  const EepFileRows again = ReadEepFile(path, f);
  Check(again.titleFits, "title written does not read back");
  Check(again.rows.value(1) == row, "row written does not read back");
  RemoveEepRow(path, 1);
  Check(ReadEepFile(path, f).rows.value(1).isEmpty(), "removed row still reads");
  return 0;
}
