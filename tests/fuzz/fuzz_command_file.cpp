// Command files: whatever bytes a file holds, reading it, cutting it into the
// run's lines and reading each line's keyword and parameters must not crash,
// and the reader's promises must hold (every line ends in CR LF, an open and a
// save of a saved file keep its bytes, at most 300 lines run).
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "tools/command_file_io.h"
#include "tools/command_file_runner.h"

namespace {

using namespace quorel;

void Check(bool ok, const char* what) { fuzzsupport::Check(ok, "fuzz_command_file", what); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString text = CommandFileText(bytes);
  Check(text.isEmpty() || text.endsWith(QLatin1String("\r\n")), "text does not end in CR LF");
  // Bytes that are no CP932 become '?' at the first save; from then on an
  // open and a save keep the file as it is.
  const QByteArray saved = CommandFileBytes(text);
  const QString reread = CommandFileText(saved);
  Check(reread.size() == text.size(), "a save and a read changed the text's length");
  Check(CommandFileBytes(reread) == saved, "an open and a save changed the bytes");

  const LineTable table = LineTable::Split(text);
  Check(table.count() >= 0 && table.count() <= kMaxRunLines, "line table out of range");
  Check(table.at(0).isEmpty() && table.at(table.count() + 1).isEmpty(), "entries outside the table not empty");
  int32_t repeat = 0;
  for (int64_t i = 1; i <= table.count(); ++i) {
    const QString line = table.at(i);
    Check(!line.contains(QLatin1String("\r\n")), "a line holds a line end");
    switch (ClassifyLine(line)) {
      case LineKind::kCommand:
        Check(line.size() > 6, "a command line of six characters or fewer");
        ExpandCommand(CommandOf(line));
        break;
      case LineKind::kLoop: {
        const int64_t target = WholeParameter(table.at(i + 1));
        const int64_t count = WholeParameter(table.at(i + 2));
        const LoopStep step = DecideLoop(i, target, count, repeat);
        Check(step.repeat >= 0, "negative loop counter");
        Check(step.endRun || step.next == i + 3 || step.next == target, "loop goes somewhere else");
        repeat = step.repeat;
        break;
      }
      case LineKind::kWait: {
        const double seconds = LeadingDecimal(table.at(i + 1));
        Check(seconds == seconds, "wait is not a number");
        break;
      }
      default:
        break;
    }
  }
  return 0;
}
