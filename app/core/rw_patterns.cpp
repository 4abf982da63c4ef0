#include "core/rw_patterns.h"

#include <algorithm>

namespace quorel::rwtest {
namespace {

const QChar kCr = QChar(13);

const Pieces kJis = {
    QStringLiteral("ABCDEABCDE222225788987CDEABCDE222225789"),
    QStringLiteral("33333ABC;:<>?@DEABCDEFACDB0BC;:<>?@DEAB1"),
    QStringLiteral("abcdiergohijklmnopqrstuvwxwy[]\\ijklmnopqrs"),
    QStringLiteral("!$%'&()*+<=<>!$#&P%'>/()*$%'&()!$#&P%'>/("),
    QStringLiteral("12345678901234543298789012345432987890123"),
    QStringLiteral("6789012345678907438789012345678907431"),
    QStringLiteral("goperyqhjfasdjfapoqeurfdafsdjfapoqeurfdada"),
    QStringLiteral("FECDBADF09sdjfapDBADF09sdjoqeuDBADF09sdj5"),
    QStringLiteral("fefrioBADJFWIERUequr()%#&/*+@RUequr()%#&/*+@"),
    QStringLiteral("87521046DADEDBBFBA74521046DADEDBBFBA7"),
    QStringLiteral("0DEADFDD628apejufoup89DFA4BCC80DEADFDD62"),
    QStringLiteral("FJAKfja2eurqai*+<>?.,#!$%&ja2e*+<>?.,#!$%&"),
};

const Pieces kIso = {
    QStringLiteral("0123456789:;<=>@ABCDEFGHIJKLMNO"),
    QStringLiteral("33333ABCDEABCDEFACDB01"),
    QStringLiteral("666:;@@@OLM66777771234567890"),
    QStringLiteral("1234==<>:;@5678KLM90ABCDEF0280"),
    QStringLiteral("0129873537<>====3456789:<=>"),
    QStringLiteral("98765432><:>>>0123456789:<=>"),
    QStringLiteral("<><<=:=637184==337743==34"),
    QStringLiteral("673141734676641309854321003335"),
    QStringLiteral("<=::<>890157643<>:18946==34"),
    QStringLiteral("87521046<>==:7381:73183==349"),
    QStringLiteral("<><098<=31==344<>637<3>4<>:::"),
    QStringLiteral("77087>2139495627834443333"),
};

const Pieces kDigits = {
    QStringLiteral("012345678974381560138478209321394956278344714894138949"),
    QStringLiteral("333333741065834103635618467017456198364087165164981"),
    QStringLiteral("6665913481566646463946701745619836408936489"),
    QStringLiteral("1234470174567863556376848670174561983640887843184750"),
    QStringLiteral("0129873537659467675675187820932139495627834480901209183"),
    QStringLiteral("987654320238469822109181129874698111112345678"),
    QStringLiteral("810366019372987469891111112987469811333455534"),
    QStringLiteral("67314173467664130985432107820932139495627834403335"),
    QStringLiteral("9015764389463490157298746986438946349015764"),
    QStringLiteral("87521046521046381521046731878209321394956278344352349"),
    QStringLiteral("078178439798307817129874698344607817373407817"),
    QStringLiteral("7708782093213949562783444333782093213949562783443"),
};

const Pieces kHex = {
    QStringLiteral("0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF01234"),
    QStringLiteral("56789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789"),
    QStringLiteral("ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDE"),
    QStringLiteral("F0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123"),
    QStringLiteral("FEDCBA9876543210FEDCBA9876543210FEDCBA9876543210FEDCBA9876543210FEDCB"),
    QStringLiteral("A9876543210FEDCBA9876543210FEDCBA9876543210FEDCBA9876543210FEDCBA9876"),
    QStringLiteral("543210FEDCB56789ABCDEF0123456789ABCDEF012345673456789ABCDEF0123465432"),
    QStringLiteral("10FEDCBA9876543210FE89ABCDEF0123456789ABCDEF0123456789ABCDEF012654321"),
    QStringLiteral("0FEDCBA98765432F0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF01234"),
    QStringLiteral("56789ABCDEF0123ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"),
    QStringLiteral("01234A9876543210FE89ABCDEF0123456789ABCDEF0123456789ABCDEF012654321DE"),
    QStringLiteral("FCBA9876543210FEDCBA9876543210FEDCBA987689ABCDEF0123456789ABCDEF01234"),
};

// Where each piece of the next pass comes from: next[i] = old[kFrom[i]].
constexpr std::array<int, 12> kJisFrom = {5, 10, 3, 4, 9, 2, 7, 8, 1, 6, 11, 0};
constexpr std::array<int, 12> kIsoFrom = {1, 2, 3, 0, 9, 10, 11, 8, 5, 6, 7, 4};

QString Joined(const Pieces& p, std::initializer_list<int> order) {
  QString out;
  for (int i : order) out += p[static_cast<size_t>(i)];
  return out;
}

}  // namespace

const Pieces& PatternPieces(PatternSet set) {
  switch (set) {
    case PatternSet::kJis: return kJis;
    case PatternSet::kIso: return kIso;
    case PatternSet::kDigits: return kDigits;
    case PatternSet::kHex: return kHex;
  }
  return kJis;
}

PatternSet SetFor(Cycle cycle, bool digitsOnly, bool hexModel) {
  if (hexModel) return PatternSet::kHex;
  if (digitsOnly) return PatternSet::kDigits;
  return cycle == Cycle::kJis ? PatternSet::kJis : PatternSet::kIso;
}

std::array<QString, 3> TrackTexts(Cycle cycle, const Pieces& p, int jisLength) {
  if (cycle == Cycle::kJis) {
    const int n = std::max(jisLength, 0);
    return {Joined(p, {0, 1, 2, 3}).left(n), Joined(p, {4, 5, 6, 7}).left(n), Joined(p, {8, 9, 10, 11}).left(n)};
  }
  return {Joined(p, {0, 1, 2, 3}).left(76), Joined(p, {4, 5, 6, 7}).left(37),
          Joined(p, {8, 9, 10, 11, 4, 5, 6, 7}).left(104)};
}

QString HexModelCut(int track, const QString& text) {
  if (track == 1) return text.left(38);
  if (track == 2) return text.left(24);
  return text;
}

Pieces Permuted(Cycle cycle, const Pieces& p) {
  const std::array<int, 12>& from = cycle == Cycle::kJis ? kJisFrom : kIsoFrom;
  Pieces next;
  for (size_t i = 0; i < next.size(); ++i) next[i] = p[static_cast<size_t>(from[i])];
  return next;
}

QString Str(long long n) { return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n); }

QString CountLabel(const std::array<bool, 3>& selected, const std::array<int, 3>& failures, int operations) {
  QString text;
  for (int t = 0; t < 3; ++t) {
    const size_t i = static_cast<size_t>(t);
    if (selected[i])
      text += QStringLiteral("Tr%1 :").arg(t + 1) + Str(failures[i]) + QLatin1Char('/') + Str(operations);
    if (t < 2) text += kCr;
  }
  return text;
}

bool ResultOk(const std::array<int, 3>& failures) {
  return std::all_of(failures.begin(), failures.end(), [](int e) { return e <= 0; });
}

QString ResultText(const std::array<int, 3>& failures, int operations) {
  if (ResultOk(failures)) return QStringLiteral("連続Ｗ／Ｒ試験　ＯＫ");
  QString text = QStringLiteral("連続Ｗ／Ｒ試験　ＮＧ");
  for (int t = 0; t < 3; ++t)
    text += kCr + QStringLiteral("   Tr%1= ").arg(t + 1) + Str(std::max(failures[static_cast<size_t>(t)], 0)) +
            QLatin1Char('/') + Str(operations);
  return text;
}

}  // namespace quorel::rwtest
