#include "command_set.h"

#include <chrono>
#include <cstdlib>
#include <memory>

#include "device_model.h"

namespace sim {

namespace {

using Param = const std::string&;

// Codes answered straight from the device state. The card commands that
// wait for a card and "RS" have their own paths in CommandSet::Run. "PI"
// and "IB" are not here: the image RAM (image_ram.h) answers them, with or
// without the standard device.
struct Entry {
  const char* code;
  Outcome (*run)(DeviceState& s, Param code, Param param);
};
const Entry kTable[] = {
    {"PA", [](DeviceState& s, Param, Param) { return s.PowerAck(); }},
    {"CL", [](DeviceState&, Param, Param) { return Outcome{}; }},
    {"CE", [](DeviceState&, Param, Param) { return Outcome{}; }},
    {"EC", [](DeviceState&, Param, Param) { return Outcome{}; }},
    {"CO", [](DeviceState& s, Param c, Param) { return s.Move(c); }},
    {"BI", [](DeviceState& s, Param c, Param) { return s.Move(c); }},
    {"BO", [](DeviceState& s, Param c, Param) { return s.Move(c); }},
    {"BP", [](DeviceState& s, Param c, Param) { return s.Move(c); }},
    {"FE", [](DeviceState& s, Param c, Param) { return s.Move(c); }},
    {"FP", [](DeviceState& s, Param c, Param) { return s.Move(c); }},
    {"RP", [](DeviceState& s, Param c, Param) { return s.Move(c); }},
    {"ST", [](DeviceState& s, Param, Param) { return s.Sensors(); }},
    {"VS", [](DeviceState& s, Param, Param p) { return s.Version(p); }},
    {"MS", [](DeviceState& s, Param, Param p) { return s.SetModes(p); }},
    {"MR", [](DeviceState& s, Param, Param) { return s.Modes(); }},
    {"CT", [](DeviceState& s, Param, Param p) { return s.Counter(p); }},
    {"CK", [](DeviceState& s, Param, Param p) { return s.Clock(p); }},
    {"TH", [](DeviceState& s, Param, Param) { return s.HeadData(); }},
    {"PW", [](DeviceState& s, Param, Param p) { return s.HeadPower(p); }},
    {"ET", [](DeviceState& s, Param, Param p) { return s.EraseSet(p); }},
    {"RE", [](DeviceState& s, Param, Param) { return s.EraseRead(); }},
    {"RD", [](DeviceState& s, Param, Param) { return s.MagRead(); }},
    {"WR", [](DeviceState& s, Param, Param) { return s.MagWrite(true); }},
    {"WN", [](DeviceState& s, Param, Param) { return s.MagWrite(false); }},
    {"VR", [](DeviceState& s, Param, Param) { return s.MagVerify(); }},
    {"WD", [](DeviceState& s, Param, Param p) { return s.SetTrack(p); }},
    {"DT", [](DeviceState& s, Param, Param p) { return s.TrackData(p); }},
    {"dt", [](DeviceState& s, Param, Param p) { return s.TrackData(p); }},
    {"RC", [](DeviceState& s, Param, Param) { return s.ReadCheck(); }},
    {"PC", [](DeviceState& s, Param, Param) { return s.ClearPrint(); }},
    {"GJ", [](DeviceState& s, Param, Param p) { return s.Raster(p); }},
    {"PD", [](DeviceState& s, Param, Param p) { return s.Page(p); }},
    {"RV", [](DeviceState&, Param, Param) { return Outcome{}; }},  // silver background
    {"AS", [](DeviceState& s, Param, Param p) { return s.Area(p); }},
    {"PR", [](DeviceState& s, Param c, Param p) { return s.Print(c, p); }},
    {"PO", [](DeviceState& s, Param c, Param p) { return s.Print(c, p); }},
    {"PP", [](DeviceState& s, Param c, Param p) { return s.Print(c, p); }},
    {"EP", [](DeviceState& s, Param c, Param p) { return s.Print(c, p); }},
    {"!!", [](DeviceState& s, Param, Param p) { return s.Maintenance(p); }},
    {"ee", nullptr},  // the EEPROM bank (eeprom_bank.h), in CommandSet::Run
    // The display ("DP", "DC", "DD") and the second interface ("IF2:T/",
    // "IF2:R"): taken, nothing more to see.
    {"DP", [](DeviceState&, Param, Param) { return Outcome{}; }},
    {"DC", [](DeviceState&, Param, Param) { return Outcome{}; }},
    {"DD", [](DeviceState&, Param, Param) { return Outcome{}; }},
    {"IF", [](DeviceState&, Param, Param) { return Outcome{}; }},
};
// Card commands that wait for a card, and the restart.
const char* const kWaiting[] = {"CI", "HC", "CR"};
const char kRestart[] = "RS";

const Entry* Find(const std::string& code) {
  for (const Entry& e : kTable)
    if (code == e.code) return &e;
  return nullptr;
}

bool IsWaiting(const std::string& code) {
  for (const char* c : kWaiting)
    if (code == c) return true;
  return false;
}

Answer WithStatus(const std::string& status) {
  Answer a;
  a.status = status;
  return a;
}

Answer FromOutcome(const Outcome& o) {
  Answer a;
  a.status = o.status;
  a.data.assign(o.data.begin(), o.data.end());
  a.busyPolls = o.busyPolls;
  return a;
}

bool ParseNumber(const std::string& s, uint64_t max, uint64_t* v) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  *v = std::strtoull(s.c_str(), nullptr, 10);
  return *v <= max;
}

const std::string kUsage = "usage: ";

// The battery-backed RAM that "!!\$." erases, as "md" addresses it.
constexpr uint32_t kBackupRamStart = 0x660000;
constexpr uint32_t kBackupRamBytes = 0x10000;

}  // namespace

CommandSet::CommandSet(Simulator& sim, DeviceModel& model, const ImageRam& image)
    : sim_(sim),
      model_(model),
      image_(image),
      eeprom_([&sim](const std::string& line) { sim.Control("note " + line); }) {}

uint64_t CommandSet::NowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

void CommandSet::Install() {
  const CommandHandler handler = [this](const Command& c) { return Handle(c); };
  for (const Entry& e : kTable) sim_.SetHandler(e.code, handler);
  for (const char* c : kWaiting) sim_.SetHandler(c, handler);
  sim_.SetHandler(kRestart, handler);
  sim_.SetHandler("", handler);  // every other code: "11"
  installed_ = true;
  SyncIdle();
}

void CommandSet::Uninstall() {
  for (const Entry& e : kTable) sim_.RemoveHandler(e.code);
  for (const char* c : kWaiting) sim_.RemoveHandler(c);
  sim_.RemoveHandler(kRestart);
  sim_.RemoveHandler("");
  installed_ = false;
  model_.SetIdle("00", "00", {});
}

void CommandSet::Reset() {
  state_.PowerOn();
  memory_.Reset();
  cardRead_.Reset();
  eeprom_.Reset();
  mivor_.Reset(state_, eeprom_);
  maint_.Reset();
  printBuffer_.Reset();
  panel_.Reset();
  jitter_.Reset();
  waiting_ = restarting_ = false;
  stuckSet_ = false;
  insertAtMs_ = 0;
  SyncIdle();
}

void CommandSet::WriteCardFiles() {
  if (!cardFiles_.on()) return;
  PrintedCard card;
  card.commands = printBuffer_.cards().back();
  for (int n = 1; n <= 3; ++n) card.tracks[static_cast<size_t>(n - 1)] = state_.magnetic().CardTrack(n);
  card.width = image_.width();
  card.rows = image_.rows();
  std::string error;
  if (!cardFiles_.Write(card, &error)) sim_.Control("note card files: " + error);
}

void CommandSet::SyncIdle() {
  if (installed_) model_.SetIdle(state_.IdleStatus(), "00", {});
}

Answer CommandSet::Handle(const Command& cmd) {
  if (restarting_ && NowMs() < restartUntilMs_) {
    Answer deaf;
    deaf.deaf = true;
    return deaf;
  }
  FinishRestart();
  TimedInsert();
  waiting_ = false;  // a new command ends the wait of the one before
  const std::string param(cmd.data.begin(), cmd.data.end());
  state_.set_image_loaded(!image_.rows().empty());
  Answer a = Run(cmd.code, param);
  const size_t printed = printBuffer_.cards().size();
  printBuffer_.Record(cmd.code, param, a.status);
  if (printBuffer_.cards().size() > printed) WriteCardFiles();
  Faults& f = model_.faults();
  if (f.slow.Take()) {
    const uint64_t until = NowMs() + f.slowMs;
    const PollDriver inner = a.driver;
    a.driver = [until, inner](Reply* r) {
      if (NowMs() < until) return Step::Reply;
      return inner ? inner(r) : Step::Done;
    };
  }
  SyncIdle();
  return a;
}

Answer CommandSet::Run(const std::string& code, const std::string& param) {
  const Entry* e = Find(code);
  const bool panel = code == "SG" || code == "LD" || code == "BZ";
  const bool known = e || IsWaiting(code) || code == kRestart || code == "md" || panel || code == "jt";
  if (!known) return WithStatus("11");
  // After a power-up the device takes only the acknowledgement, a restart
  // and a clear.
  if (state_.state() == '2' && code != "PA" && code != kRestart && code != "CL")
    return WithStatus("10");
  if (code == kRestart) return Restart();
  Answer panelAnswer;
  if (panel_.Handle(code, param, memory_, &panelAnswer)) return panelAnswer;
  Answer jitterAnswer;
  if (jitter_.Handle(code, param, &jitterAnswer)) return jitterAnswer;
  if (code == "md") return memory_.OnMd(param);
  if (code == "ee") return eeprom_.OnEe(param);
  Answer bang;
  if (code == "!!" && maint_.OnBang(param, &bang)) return bang;
  Answer own;
  if (mivor_.Handle(code, param, state_, eeprom_, &own)) return own;
  if (code == "!!" && !param.empty() && param[0] == 'm') return cardRead_.OnMargin(param);
  if (code == "!!" && param == "\\$.") return BackupRamClear();
  if (IsWaiting(code)) {
    Answer a = CardWait(code, param);
    if (code == "CI") cardRead_.OnCardIn(&a);
    return a;
  }
  return FromOutcome(e->run(state_, code, param));
}

Answer CommandSet::CardWait(const std::string& code, const std::string& param) {
  const bool cleaning = code != "CI";
  CardPos to = CardPos::Middle;
  if (code == "CI" && param == "*") {
    to = CardPos::Rear;
  } else if (!param.empty()) {
    return WithStatus("14");
  }
  Answer a;
  if (state_.card() == CardPos::Middle || state_.card() == CardPos::Rear) {
    if (cleaning) return WithStatus("20");  // the cleaning card cannot get in
    state_.set_card(to);
    return a;
  }
  waiting_ = true;
  cleaning_ = cleaning;
  waitTo_ = to;
  waitSinceMs_ = NowMs();
  if (state_.card() == CardPos::Front || state_.card() == CardPos::Exit) CardArrived();
  if (cleaning) a.busyPolls = 2;
  if (!waiting_) return a;
  a.driver = [this](Reply*) {
    if (waiting_ && cardWaitMs_ >= 0 &&
        NowMs() >= waitSinceMs_ + static_cast<uint64_t>(cardWaitMs_))
      state_.Insert();
    CardArrived();                               // also a card a control line put at the slot
    return waiting_ ? Step::Reply : Step::Done;  // "B <code> 00" while it waits
  };
  return a;
}

void CommandSet::CardArrived() {
  if (!waiting_ || !state_.TakeCardIn(waitTo_)) return;
  waiting_ = false;
  if (cleaning_) state_.set_card(CardPos::Exit);
  SyncIdle();
}

Answer CommandSet::Restart() {
  restarting_ = true;
  restartUntilMs_ = NowMs() + restartMs_;
  Answer a;
  a.driver = [this](Reply* r) {
    if (restarting_ && NowMs() < restartUntilMs_) return Step::Silent;
    FinishRestart();
    *r = Reply{'R', state_.IdleStatus(), "00", {}};
    return Step::Last;
  };
  return a;
}

Answer CommandSet::BackupRamClear() {
  const uint64_t until = NowMs() + ramClearMs_;
  Answer a;
  // Counted polls keep the number of "B" replies fixed, whatever the host's
  // timing; otherwise the erase lasts ramClearMs_ of real time.
  // The count lives outside the driver, which may be copied between polls.
  const auto busy = std::make_shared<uint32_t>(0);
  a.driver = [this, until, polls = ramClearPolls_, busy](Reply*) {
    const bool erasing = polls > 0 ? (*busy)++ < polls : NowMs() < until;
    if (erasing) return Step::Reply;  // "B !! 00" while it erases
    memory_.Fill(kBackupRamStart, kBackupRamBytes, 0);
    if (stuckSet_) memory_.Set(stuckAddress_, Bytes{stuckValue_});
    return Step::Done;
  };
  return a;
}

void CommandSet::TimedInsert() {
  if (insertAtMs_ == 0 || NowMs() < insertAtMs_) return;
  insertAtMs_ = 0;
  if (state_.Insert()) CardArrived();
}

void CommandSet::FinishRestart() {
  if (!restarting_) return;
  restarting_ = false;
  state_.Restarted();
  SyncIdle();
}

// ---- control lines ----

bool CommandSet::Control(const std::vector<std::string>& w, std::string* error) {
  if (memory_.Control(w, error) || cardRead_.Control(w, error)) return true;
  if (panel_.Control(w, error) || jitter_.Control(w, error)) return true;
  if (eeprom_.Control(w, error) || maint_.Control(w, error)) return true;
  if (mivor_.Control(w, error, state_, eeprom_)) return true;
  const std::string& cmd = w[0];
  if (cmd == "device") {
    if (w.size() != 2 || (w[1] != "standard" && w[1] != "plain")) {
      *error = kUsage + "device standard|plain";
    } else if (w[1] == "standard") {
      Install();
    } else {
      Uninstall();
    }
    return true;
  }
  if (cmd == "cards") {
    if (w.size() != 2) {
      *error = kUsage + "cards DIR|off";
    } else {
      cardFiles_.SetFolder(w[1] == "off" ? std::string() : w[1]);
    }
    return true;
  }
  if (cmd == "card") {
    *error = CardControl(w);
  } else if (cmd == "model" || cmd == "version" || cmd == "state" || cmd == "cardwait" ||
             cmd == "track" || cmd == "counter" || cmd == "clock" || cmd == "restart" ||
             cmd == "ramclear" || cmd == "adc") {
    *error = KnobControl(w);
  } else if (cmd == "magfault" || cmd == "modes") {
    *error = MagneticControl(w);
  } else {
    return false;
  }
  SyncIdle();
  return true;
}

std::string CommandSet::CardControl(const std::vector<std::string>& w) {
  static const std::pair<const char*, CardPos> kPlaces[] = {{"none", CardPos::None},
                                                            {"front", CardPos::Front},
                                                            {"middle", CardPos::Middle},
                                                            {"rear", CardPos::Rear},
                                                            {"exit", CardPos::Exit}};
  const std::string usage = kUsage + "card insert [MS]|remove|none|front|middle|rear|exit";
  uint64_t ms = 0;
  if (w.size() == 3 && w[1] == "insert" && ParseNumber(w[2], 600000, &ms)) {
    // The operator's card comes MS later; the next command sees it there.
    insertAtMs_ = NowMs() + (ms == 0 ? 1 : ms);
    return "";
  }
  if (w.size() != 2) return usage;
  if (w[1] == "insert") {
    if (!state_.Insert()) return "card: there is a card in the device already";
    CardArrived();
    return "";
  }
  if (w[1] == "remove") return state_.Remove() ? "" : "card: the card is inside the device";
  for (const auto& p : kPlaces) {
    if (w[1] == p.first) {
      state_.set_card(p.second);
      return "";
    }
  }
  return usage;
}

std::string CommandSet::KnobControl(const std::vector<std::string>& w) {
  const std::string& cmd = w[0];
  uint64_t v = 0;
  if (cmd == "model") {
    std::string version;
    if (w.size() != 2 || !DeviceState::FamilyVersion(w[1], &version))
      return kUsage + "model mivor|dastel|quenby|holdt|folsk|yarsel|other";
    state_.set_version(version);
    eeprom_.SelectModel(w[1]);
  } else if (cmd == "version") {
    if (w.size() < 2 || w[1].empty()) return kUsage + "version TEXT";
    // A version may hold blanks ("Mivor 7"): the words joined by one.
    std::string version = w[1];
    for (size_t i = 2; i < w.size(); ++i) version += " " + w[i];
    state_.set_version(version);
  } else if (cmd == "state") {
    if (w.size() != 2 || w[1].size() != 1 || w[1][0] < '0' || w[1][0] > '9')
      return kUsage + "state DIGIT";
    state_.set_state(w[1][0]);
  } else if (cmd == "cardwait") {
    if (w.size() == 2 && w[1] == "manual") {
      cardWaitMs_ = -1;
    } else if (w.size() == 2 && ParseNumber(w[1], 600000, &v)) {
      cardWaitMs_ = static_cast<int64_t>(v);
    } else {
      return kUsage + "cardwait MS|manual";
    }
  } else if (cmd == "track") {
    if (w.size() != 3 || w[1].size() != 1 || w[1][0] < '1' || w[1][0] > '3')
      return kUsage + "track 1|2|3 DATA|blank";
    state_.SetCardTrack(w[1][0] - '0', w[2] == "blank" ? std::string() : w[2]);
  } else if (cmd == "counter") {
    char* end = nullptr;
    const unsigned long value = w.size() == 3 ? std::strtoul(w[2].c_str(), &end, 16) : 0;
    if (w.size() != 3 || w[1].size() != 1 || w[2].empty() || w[2].size() > 8 || *end != '\0' ||
        !state_.SetCounter(w[1][0], static_cast<uint32_t>(value)))
      return kUsage + "counter LETTER HEX (a known counter letter)";
  } else if (cmd == "clock") {
    time_t t;
    if (w.size() == 2 && w[1] == "pc") {
      state_.set_clockOffset(0);
    } else if (w.size() == 2 && w[1].size() == 12 &&
               DeviceState::ParseClock(w[1].substr(0, 6), w[1].substr(6), &t)) {
      state_.set_clockOffset(static_cast<int64_t>(t) - static_cast<int64_t>(std::time(nullptr)));
    } else {
      return kUsage + "clock YYMMDDhhmmss|pc";
    }
  } else if (cmd == "adc") {
    // The A/D codes behind "!!s", written in groups for reading ease.
    std::string codes;
    for (size_t i = 1; i < w.size(); ++i) codes += w[i];
    const bool hex = codes.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
    if (w.size() < 2 || !hex || codes.size() % 2 != 0 || codes.size() > 64) return kUsage + "adc HEX...";
    state_.set_sensorFields(codes);
  } else if (cmd == "ramclear") {
    return RamClearControl(w);
  } else {  // restart
    if (w.size() != 2 || !ParseNumber(w[1], 600000, &v)) return kUsage + "restart MS";
    restartMs_ = static_cast<uint32_t>(v);
  }
  return "";
}

std::string CommandSet::RamClearControl(const std::vector<std::string>& w) {
  const std::string usage = kUsage + "ramclear MS | ramclear polls N | ramclear stuck ADDR HH | ramclear stuck off";
  uint64_t v = 0;
  uint32_t address = 0;
  uint32_t value = 0;
  if (w.size() == 2 && ParseNumber(w[1], 600000, &v)) {
    ramClearMs_ = static_cast<uint32_t>(v);
    ramClearPolls_ = 0;
  } else if (w.size() == 3 && w[1] == "polls" && ParseNumber(w[2], 100000, &v) && v > 0) {
    ramClearPolls_ = static_cast<uint32_t>(v);
  } else if (w.size() == 3 && w[1] == "stuck" && w[2] == "off") {
    stuckSet_ = false;
  } else if (w.size() == 4 && w[1] == "stuck" && MemoryModel::ParseAddress(w[2], &address) &&
             MemoryModel::ParseAddress(w[3], &value) && w[3].size() == 2) {
    stuckAddress_ = address;
    stuckValue_ = static_cast<uint8_t>(value);
    stuckSet_ = true;
  } else {
    return usage;
  }
  return "";
}

std::string CommandSet::MagneticControl(const std::vector<std::string>& w) {
  if (w[0] == "modes") {
    // The device's mode pairs, as "MS:" would set them.
    if (w.size() != 2 || state_.SetModes(":" + w[1]).status != "90") return kUsage + "modes PAIRS";
    return "";
  }
  static const std::pair<const char*, MagFault> kKinds[] = {
      {"write", MagFault::Write}, {"verify", MagFault::Verify}, {"read", MagFault::Read}};
  const std::string usage = kUsage + "magfault 1|2|3 write|verify|read [N|always|off]";
  if (w.size() < 3 || w.size() > 4 || w[1].size() != 1 || w[1][0] < '1' || w[1][0] > '3') return usage;
  int left = 1;
  if (w.size() == 4) {
    uint64_t v = 0;
    if (w[3] == "always") {
      left = kAlways;
    } else if (w[3] == "off") {
      left = 0;
    } else if (ParseNumber(w[3], 1000000, &v)) {
      left = static_cast<int>(v);
    } else {
      return usage;
    }
  }
  for (const auto& k : kKinds) {
    if (w[2] == k.first) {
      state_.magnetic().Fault(w[1][0] - '0', k.second).left = left;
      return "";
    }
  }
  return usage;
}

}  // namespace sim
