// "!!" replies: sensor voltages in single precision, the labelled line of
// each model family and the value list.
#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <cstdio>

#include "core/reply_fields.h"
#include "decode_fixture.h"

namespace quorel {
namespace {

// Fields 11 22 33 44 FF 80: 0.33 0.67 1.00 1.33 5.00 2.51 against 5 V.
const QString kReply = QStringLiteral("A!!9011223344FF80");

class Sensor : public DecodeTest {
 protected:
  QString Line(const char* version, const QString& reply = kReply) {
    state.gVersionText = QString::fromLatin1(version);
    const DisplayUpdates u = Decode("!!s", reply);
    EXPECT_EQ(u.controls.size(), 1u);
    return Shown(u, "Label37", -1, kCaption);
  }
  QString List(const QString& reply) { return Shown(Decode("!!l", reply), "Label41", -1, kCaption); }
};

TEST_F(Sensor, LabelledLineByModelFamily) {
  for (const char* v : {"3", "3.12", "4211-1", "145", "51x"})
    EXPECT_EQ(Line(v), "a:0.33  b:0.67  c:1.00  d:1.33") << v;
  EXPECT_EQ(Line("14.0"), "s:0.33  a:0.67  b:1.00  c:1.33  d:5.00");
  EXPECT_EQ(Line("9"), "a:0.33  b:0.67  c:1.00  d:1.33  e:2.51  j:5.00");
  for (const char* v : {"2", "421", "15", "", "M1"})
    EXPECT_EQ(Line(v), "a:0.67  b:1.00  c:1.33  d:5.00  e:2.51") << v;
}

TEST_F(Sensor, ReferenceVoltage) {
  ref33 = true;
  EXPECT_EQ(Line("2", "A!!90000000FFFF80"), "a:0.00  b:0.00  c:3.30  d:3.30  e:1.66");
  ref33 = false;
  EXPECT_EQ(Line("2", "A!!90000000FFFF80"), "a:0.00  b:0.00  c:5.00  d:5.00  e:2.51");
}

TEST_F(Sensor, ValueListGoesToBothLabels) {
  const DisplayUpdates u = Decode("!!l", kReply);
  EXPECT_EQ(Shown(u, "Label41", -1, kCaption), "0.33 0.67 1.00 1.33 5.00");
  EXPECT_EQ(Shown(u, "Label37", -1, kCaption), "0.33 0.67 1.00 1.33 5.00");
  EXPECT_TRUE(u.state.empty());
}

TEST_F(Sensor, ShortReplyShowsZeros) {
  EXPECT_EQ(Line("3", "A!!9011223344F"), "a:0.00  b:0.00  c:0.00  d:0.00");  // 14 characters
  EXPECT_EQ(Line("2", QString()), "a:0.00  b:0.00  c:0.00  d:0.00  e:0.00");
  // Fifteen characters: the sixth field is missing and counts 0.
  EXPECT_EQ(Line("9", "A!!9011223344FF"), "a:0.33  b:0.67  c:1.00  d:1.33  e:0.00  j:5.00");
}

TEST_F(Sensor, FieldsThatAreNotHexCountZero) {
  EXPECT_EQ(List("A!!90zz1G fff:0"), "0.00 0.00 0.00 5.00 3.14");
}

TEST_F(Sensor, OtherThirdCharactersShowNothing) {
  for (const char* command : {"!!", "!!e", "!!c", "!!w", "!!|", "!!S", "!!L"})
    EXPECT_TRUE(Decode(QString::fromLatin1(command), kReply).empty()) << command;
}

// Every field value against the reviewed single-precision table: the float
// itself (nine significant digits) and the two decimals shown.
TEST_F(Sensor, AllFieldValuesMatchTheSinglePrecisionTable) {
  QFile file(QStringLiteral(QUOREL_DECODER_GOLDEN_DIR "/sensor_volts.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  int rows = 0;
  while (!file.atEnd()) {
    const QString line = QString::fromLatin1(file.readLine()).trimmed();
    if (line.startsWith(QLatin1Char('#'))) continue;
    const QStringList col = line.split(QLatin1Char(' '));
    ASSERT_EQ(col.size(), 5) << line.toStdString();
    const int field = col[0].toInt(nullptr, 16);
    ASSERT_EQ(field, rows);
    for (const bool is33 : {false, true}) {
      const QString& shown = col[is33 ? 3 : 1];
      const QString& exact = col[is33 ? 4 : 2];
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(reply::SensorVolts(field, is33)));
      EXPECT_EQ(QString::fromLatin1(buf), exact) << col[0].toStdString() << (is33 ? " 3.3V" : " 5V");

      ref33 = is33;
      const QString reply = QStringLiteral("A!!90") + col[0].repeated(6);
      EXPECT_EQ(List(reply), QStringList({shown, shown, shown, shown, shown}).join(QLatin1Char(' ')));
      EXPECT_EQ(List(QStringLiteral("A!!90") + col[0].toLower().repeated(6)).left(shown.size()), shown);
    }
    ++rows;
  }
  EXPECT_EQ(rows, 256);
}

}  // namespace
}  // namespace quorel
