// The printed card's two files, byte for byte: the PBM raster (rows past
// the head's width cut, unwritten rows white) and the text summary with the
// page items left out of the text lines.
#include <gtest/gtest.h>

#include "printed_card_files.h"

namespace simtest {
namespace {

using sim::PrintedCardFiles;

TEST(PrintedCardFiles, PbmCutsDotsPastTheWidthAndFillsMissingRowsWhite) {
  std::map<int, sim::Bytes> rows;
  rows[0] = {0xFF, 0xFF, 0xFF};  // more bytes than a 12-dot row holds
  rows[2] = {0x81};              // a short row
  EXPECT_EQ(std::string("P4\n12 600\n") + "\xFF\xF0" + std::string(2, '\0') + "\x81" + std::string(1195, '\0'),
            PrintedCardFiles::Pbm(12, rows));
  EXPECT_EQ("P4\n8 600\n" + std::string(600, '\0'), PrintedCardFiles::Pbm(8, {}));
  rows[600] = {0x01};  // a row past the card's raster is still shown
  const std::string tall = PrintedCardFiles::Pbm(12, rows);
  EXPECT_EQ(0u, tall.find("P4\n12 601\n"));
  EXPECT_EQ(10u + 601 * 2, tall.size());
}

TEST(PrintedCardFiles, TextListsKindBackgroundTracksAndPlainTextLines) {
  sim::PrintedCard card;
  card.commands = {"MS:C2H2B5", "RV",
                   "PD:0/0/32/\x1b" "X010\x1b" "Y020\x1b" "F1\x1b" "lAA\x1b" "e12B\nC",
                   "PD:1/072/27/\x83\x65", "RV", "PO=?"};
  card.tracks = {"", "1234", ""};
  EXPECT_EQ("kind ?\nbackground silver\ntrack 1 \ntrack 2 1234\ntrack 3 \n"
            "text AB\ntext C\ntext \x83\x65\n",
            PrintedCardFiles::Text(card));
  card.commands = {"PD:0/4/", "MS:H7B", "PP"};  // a head cut short: no text; a key without value
  EXPECT_EQ("kind -\nbackground white\ntrack 1 \ntrack 2 1234\ntrack 3 \n", PrintedCardFiles::Text(card));
}

}  // namespace
}  // namespace simtest
