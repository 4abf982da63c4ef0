// The reply decoders on any command and reply: no read past a short reply,
// and every update names a control that exists (track boxes 1 to 3, a list
// entry that is in the list).
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "core/cp932_codec.h"
#include "core/main_module.h"
#include "core/message_tables.h"
#include "core/reply_decoders.h"

namespace {

using namespace quorel;

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckUpdates(const DisplayUpdates& u, int listSize) {
  static const QSet<QString> kSingle = {"LbCT",   "Label14", "TxtROMVer", "TxtMR",     "CmbKdKind", "Label37",
                                        "Label41", "TxtMDData", "TxtPDData"};
  for (const ControlUpdate& c : u.controls) {
    if (c.control == QLatin1String("TxtDTtr") || c.control == QLatin1String("txtWd") ||
        c.control == QLatin1String("LbDTtrLen")) {
      Check(c.index >= 1 && c.index <= 3);
    } else if (c.control == QLatin1String("LbTH")) {
      Check(c.index == 0 || c.index == 1);
    } else if (c.control == QLatin1String("TxtPWETSend")) {
      Check(c.index == 2 || c.index == 3);
    } else {
      Check(kSingle.contains(c.control) && c.index == -1);
    }
    if (c.property == DisplayProperty::kListIndex) Check(c.listIndex >= 0 && c.listIndex < listSize);
  }
}

}  // namespace

// Input: flags byte, then version, command and reply separated by 0x00.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool tablesBuilt = [] {
    InitMessageTables(TableLanguage::kJapanese);
    return true;
  }();
  (void)tablesBuilt;
  if (size == 0) return 0;
  const QList<QByteArray> parts =
      QByteArray(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1)).split('\0');
  MainModule state = mm();
  state.gVersionText = cp932::Decode(parts.value(0));
  const QString command = cp932::Decode(parts.value(1));
  const QString reply = cp932::Decode(parts.value(2));

  DecodeContext context(state);
  context.sensorRef33 = (data[0] & 1) != 0;
  context.cardKindFromMode = (data[0] & 2) != 0;
  if (data[0] & 4) context.cardKinds = QStringList{"0 a", "1 b", ":", "", "B"};

  CheckUpdates(DecodeReply(command, reply, context), static_cast<int>(context.cardKinds.size()));
  // The same reply under each decoded code, so every decoder sees it.
  static const char* const kCodes[] = {"CT", "ST", "VS", "MR", "RC", "DT:", "dt:", "CK", "RE", "TH", "!!s", "!!l"};
  const QString code = QString::fromLatin1(kCodes[data[0] % (sizeof kCodes / sizeof kCodes[0])]);
  CheckUpdates(DecodeReply(code + command, reply, context), static_cast<int>(context.cardKinds.size()));
  CheckUpdates(ParameterDisplays(command), 0);
  CheckUpdates(HeadDataDisplay(reply, context), 0);
  return 0;
}
