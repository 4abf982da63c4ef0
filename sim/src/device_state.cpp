#include "device_state.h"

#include <cstdio>

namespace sim {

namespace {

const char kBadParam[] = "14";
const char kNoCard[] = "25";
const char kCardPresent[] = "20";

// Every counter the device keeps: the letters one family reads and the
// digits and capitals the others read, with the values of a unit that has
// seen some use. The errors are the ones "!!e" clears.
struct CounterDef {
  char letter;
  uint32_t start;
  bool error;
};
const CounterDef kCounters[] = {
    {'a', 0x100, false}, {'b', 0x40, false}, {'c', 0x80, false}, {'d', 0x30, false},
    {'e', 0x20, false},  {'f', 0x40, false}, {'i', 0x12, false}, {'j', 0x3, false},
    {'k', 0, true},      {'l', 0, true},     {'m', 0x2, true},   {'n', 0, true},
    {'o', 0, true},      {'p', 0x1, true},   {'r', 0, true},     {'s', 0, true},
    {'t', 0, true},      {'u', 0, true},     {'v', 0, true},     {'0', 0x100, false},
    {'1', 0x40, false},  {'2', 0x80, false}, {'3', 0x30, false}, {'4', 0x12, false},
    {'7', 0x2, true},    {'8', 0, true},     {'9', 0, true},     {'A', 0, true},
    {'B', 0x1, true},    {'E', 0, true},     {'F', 0, true},
};

// The letters each event counts under.
const char kPass[] = "a0";
const char kMagRead[] = "c2";
const char kMagWrite[] = "b1f";
const char kPrinted[] = "d3";
const char kErased[] = "e";
const char kPowerUp[] = "i4";

struct Family {
  const char* name;
  const char* version;
};
// The first characters of a version text name the family.
const Family kFamilies[] = {
    {"mivor", "Mivor V1.20"}, {"dastel", "3D10 V2.10"}, {"quenby", "9Q10 V1.03"},
    {"holdt", "9H20 V1.01"},  {"folsk", "51F0 V3.02"},  {"yarsel", "14Y2 V1.10"},
    {"other", "7X00 V0.90"},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHex(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

bool AllOf(const std::string& s, bool (*pred)(char)) {
  for (char c : s)
    if (!pred(c)) return false;
  return true;
}

std::string Hex(uint32_t v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, static_cast<unsigned>(v));
  return buf;
}

int TwoDigits(const std::string& s, size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

Outcome Fail(const char* status) {
  Outcome o;
  o.status = status;
  return o;
}

Outcome Data(const std::string& data) {
  Outcome o;
  o.data = data;
  return o;
}

}  // namespace

DeviceState::DeviceState() {
  version_ = kFamilies[0].version;
  modes_ = {{'B', '0'}, {'F', '1'}, {'K', '0'}, {'N', '0'}, {'X', '0'}, {'Y', '3'}};
  for (const CounterDef& c : kCounters) counters_[c.letter] = c.start;
}

void DeviceState::PowerOn() {
  const std::string version = version_;
  *this = DeviceState();
  version_ = version;
}

bool DeviceState::FamilyVersion(const std::string& family, std::string* version) {
  for (const Family& f : kFamilies) {
    if (family == f.name) {
      *version = f.version;
      return true;
    }
  }
  return false;
}

std::string DeviceState::IdleStatus() const { return {state_, static_cast<char>(card_)}; }

bool DeviceState::CardInside() const {
  return card_ == CardPos::Front || card_ == CardPos::Middle || card_ == CardPos::Rear;
}

bool DeviceState::SetCounter(char letter, uint32_t value) {
  auto c = counters_.find(letter);
  if (c == counters_.end()) return false;
  c->second = value;
  return true;
}

void DeviceState::Bump(const char* letters) {
  for (const char* p = letters; *p; ++p) ++counters_[*p];
}

void DeviceState::ClearErrorCounts() {
  for (const CounterDef& c : kCounters)
    if (c.error) counters_[c.letter] = 0;
}

bool DeviceState::ParseClock(const std::string& yymmdd, const std::string& hhmmss, time_t* t) {
  if (yymmdd.size() != 6 || hhmmss.size() != 6 || !AllOf(yymmdd, IsDigit) ||
      !AllOf(hhmmss, IsDigit))
    return false;
  std::tm tm{};
  tm.tm_year = 100 + TwoDigits(yymmdd, 0);
  tm.tm_mon = TwoDigits(yymmdd, 2) - 1;
  tm.tm_mday = TwoDigits(yymmdd, 4);
  tm.tm_hour = TwoDigits(hhmmss, 0);
  tm.tm_min = TwoDigits(hhmmss, 2);
  tm.tm_sec = TwoDigits(hhmmss, 4);
  tm.tm_isdst = -1;
  const std::tm want = tm;
  *t = std::mktime(&tm);
  // mktime rolls 31 February over into March: such a date names no time.
  return *t != static_cast<time_t>(-1) && tm.tm_mon == want.tm_mon && tm.tm_mday == want.tm_mday &&
         tm.tm_hour == want.tm_hour && tm.tm_min == want.tm_min && tm.tm_sec == want.tm_sec;
}

// ---- the card ----

bool DeviceState::TakeCardIn(CardPos to) {
  if (card_ != CardPos::Front && card_ != CardPos::Exit) return false;
  card_ = to;
  Bump(kPass);
  return true;
}

bool DeviceState::Insert() {
  if (card_ != CardPos::None) return false;
  card_ = CardPos::Front;
  return true;
}

bool DeviceState::Remove() {
  if (card_ != CardPos::Front && card_ != CardPos::Exit && card_ != CardPos::None) return false;
  card_ = CardPos::None;
  return true;
}

void DeviceState::Restarted() {
  // A restart loses what RAM held; the card stays where it lies.
  state_ = '2';
  mag_.LoseRam();
  rasterLines_ = pages_ = 0;
  Bump(kPowerUp);
}

// ---- commands ----

Outcome DeviceState::PowerAck() {
  if (state_ == '2') state_ = '0';
  return Outcome{};
}

Outcome DeviceState::Version(const std::string& param) const {
  if (param.empty()) return Data(version_);
  if (param == "?") return Data(version_ + " BOOT V1.00");
  return Fail(kBadParam);
}

Outcome DeviceState::Sensors() const {
  std::string s = "00000000";
  if (card_ == CardPos::Front || card_ == CardPos::Exit) s[0] = '1';
  if (card_ == CardPos::Middle) s[1] = '1';
  if (card_ == CardPos::Rear) s[2] = '1';
  return Data(s);
}

Outcome DeviceState::SetModes(const std::string& param) {
  if (param.empty() || param[0] != ':') return Fail(kBadParam);
  std::map<char, char> changed = modes_;
  size_t i = 1;
  while (i < param.size()) {
    if (param[i] == ' ') {  // a blank between pairs is let through
      ++i;
      continue;
    }
    if (i + 1 >= param.size() || static_cast<unsigned char>(param[i]) <= ' ' ||
        static_cast<unsigned char>(param[i + 1]) <= ' ')
      return Fail(kBadParam);
    changed[param[i]] = param[i + 1];
    i += 2;
  }
  modes_ = changed;
  return Outcome{};
}

Outcome DeviceState::Modes() const {
  std::string s;
  for (const auto& m : modes_) {
    s += m.first;
    s += m.second;
  }
  return Data(s);
}

Outcome DeviceState::Counter(const std::string& param) const {
  char letter = 'a';  // plain "CT": the pass count
  if (!param.empty()) {
    if (param.size() != 2 || param[0] != ':') return Fail(kBadParam);
    letter = param[1];
  }
  auto c = counters_.find(letter);
  if (c == counters_.end()) return Fail(kBadParam);
  return Data(Hex(c->second, 8));
}

Outcome DeviceState::Clock(const std::string& param) {
  if (!param.empty()) {
    // ":yymmdd" "0" weekday "hhmmss".
    time_t t;
    if (param.size() != 15 || param[0] != ':' || !IsDigit(param[7]) || param[8] < '0' ||
        param[8] > '6' || !ParseClock(param.substr(1, 6), param.substr(9, 6), &t))
      return Fail(kBadParam);
    clockOffset_ = static_cast<int64_t>(t) - static_cast<int64_t>(std::time(nullptr));
    std::tm set{};
    localtime_r(&t, &set);
    weekdayShift_ = (param[8] - '0' - set.tm_wday + 7) % 7;
  }
  const time_t now = static_cast<time_t>(std::time(nullptr) + clockOffset_);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d0%d%02d%02d%02d", tm.tm_year % 100, tm.tm_mon + 1,
                tm.tm_mday, (tm.tm_wday + weekdayShift_) % 7, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return Data(buf);
}

Outcome DeviceState::HeadData() const {
  // Head rank, head temperature, the two power values, erase-head rank and
  // batch, erase-head thermistor reading, board temperature.
  return Data("5" + std::string("25") + headPower_ + "3" + "2" + "8A" + "31");
}

Outcome DeviceState::HeadPower(const std::string& param) {
  if (param.empty()) return Data(headPower_);
  const std::string v = param.substr(1);
  if (param[0] != ':' || v.empty() || v.size() > 4 || !AllOf(v, IsHex)) return Fail(kBadParam);
  headPower_ = std::string(4 - v.size(), '0') + v;
  return Outcome{};
}

Outcome DeviceState::EraseSet(const std::string& param) {
  if (param.size() < 2 || param.size() > 9 || param[0] != ':') return Fail(kBadParam);
  erase_ = param.substr(1);
  return Outcome{};
}

Outcome DeviceState::EraseRead() const { return Data(erase_); }

Outcome DeviceState::Move(const std::string& code) {
  Outcome o;
  o.busyPolls = 1;
  if (code == "FE") {  // a card from the feeder
    if (card_ != CardPos::None) return Fail(kCardPresent);
    card_ = CardPos::Middle;
    Bump(kPass);
    return o;
  }
  if (code == "CO" && card_ == CardPos::Exit) return Outcome{};
  if (!CardInside()) return Fail(kNoCard);
  if (code == "CO") {
    card_ = CardPos::Exit;
  } else if (code == "BI") {
    card_ = CardPos::Middle;
  } else if (code == "BO") {
    card_ = CardPos::None;  // out at the back, gone
  } else if (code == "FP") {
    card_ = CardPos::Front;
  } else {  // BP, RP
    card_ = CardPos::Rear;
  }
  return o;
}

// ---- magnetic tracks ----

Outcome DeviceState::MagRead() {
  if (!CardInside()) return Fail(kNoCard);
  Bump(kMagRead);
  return mag_.Read();
}

Outcome DeviceState::MagWrite(bool verify) {
  if (!CardInside()) return Fail(kNoCard);
  const Outcome o = mag_.Write(verify);
  if (o.status != "46") Bump(kMagWrite);
  return o;
}

Outcome DeviceState::MagVerify() {
  if (!CardInside()) return Fail(kNoCard);
  return mag_.Verify();
}

Outcome DeviceState::SetTrack(const std::string& param) { return mag_.SetTrack(param); }

Outcome DeviceState::TrackData(const std::string& param) const { return mag_.TrackData(param); }

Outcome DeviceState::ReadCheck() const { return mag_.ReadCheck(); }

// ---- print data ----

Outcome DeviceState::ClearPrint() {
  rasterLines_ = pages_ = 0;
  return Outcome{};
}

Outcome DeviceState::Raster(const std::string& param) {
  // ":" selector and 144 hex digits: 576 dots.
  if (param.size() != 146 || param[0] != ':' || !AllOf(param.substr(2), IsHex))
    return Fail(kBadParam);
  ++rasterLines_;
  return Outcome{};
}

Outcome DeviceState::Page(const std::string& param) {
  // ":" and a head of three decimal numbers, each closed by "/".
  if (param.empty() || param[0] != ':') return Fail(kBadParam);
  size_t i = 1;
  for (int field = 0; field < 3; ++field) {
    const size_t from = i;
    while (i < param.size() && IsDigit(param[i])) ++i;
    if (i == from || i >= param.size() || param[i] != '/') return Fail(kBadParam);
    ++i;
  }
  ++pages_;
  return Outcome{};
}

Outcome DeviceState::Area(const std::string& param) {
  const size_t slash = param.find('/');
  if (param.empty() || param[0] != ':' || slash == std::string::npos || slash < 2 ||
      slash + 1 >= param.size() || !AllOf(param.substr(1, slash - 1), IsDigit) ||
      !AllOf(param.substr(slash + 1), IsDigit))
    return Fail(kBadParam);
  area_ = param.substr(1);
  return Outcome{};
}

Outcome DeviceState::Print(const std::string& code, const std::string& param) {
  // "=" and a card kind: "0" to "9" and ":" to "?".
  if (!param.empty() && (param.size() != 2 || param[0] != '=' || param[1] < '0' || param[1] > '?'))
    return Fail(kBadParam);
  if (!CardInside()) return Fail(kNoCard);
  const bool erases = code != "PP";
  if (code != "EP" && rasterLines_ == 0 && pages_ == 0 && !imageLoaded_) return Fail("50");
  Bump(kPrinted);
  if (erases) Bump(kErased);
  if (code != "EP") rasterLines_ = pages_ = 0;
  if (code == "PO") card_ = CardPos::Exit;
  Outcome o;
  o.busyPolls = 2;
  return o;
}

// ---- maintenance ----

Outcome DeviceState::Maintenance(const std::string& param) {
  if (param.empty()) return Fail(kBadParam);
  const char what = param[0];
  switch (what) {
    case 's':  // sensor voltages
    case 'l':  // value list
      return Data(sensorFields_);
    case '|':  // sensor thresholds
      return Data("80808080");
    case 'e':
      ClearErrorCounts();
      return Outcome{};
    case 'c':
      ClearErrorCounts();
      counters_['a'] = counters_['0'] = 0;
      return Outcome{};
    default:
      break;
  }
  if (param.size() >= 2 && param[1] == '?') {
    auto v = settings_.find(what);
    return Data(v == settings_.end() ? "00" : v->second);
  }
  if (param.size() >= 2 && param[1] == ':') settings_[what] = param.substr(2);
  return Outcome{};
}

}  // namespace sim
