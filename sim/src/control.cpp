// The simulator's control language: one line, one action. vantor-sim reads
// the lines from stdin or a script; tests call Simulator::Control.
//
// Blank lines and lines starting with # do nothing. Words are separated by
// blanks; "double quotes" keep blanks in one word.
//   N     how many occasions a fault acts on: a number (or xN), "always" or
//         "off" (default 1). "NAME off" switches one fault off, "faults off" all.
//   DATA  text as it stands, "quoted text", text:ABC, or hex:02 41.
//   HEX   hex pairs ("41 06", "4106"); text:ABC is taken too.
//
// Device
//   reply CODE STATUS [DATA] [busy N] [kind K]
//                      fixed answer for command CODE: ACK, N polls answered
//                      "B CODE 00", then "K CODE STATUS DATA" (K default A)
//   reply CODE nak     NAK command CODE
//   reply CODE off     back to the handler (or the default "A CODE 90")
//   idle STATE AUX [DATA]   the idle poll answer "R STATE AUX DATA"
//                      (default "R 00 00"; "idle 20 00" reports a power-up)
//   datareply DATA | datareply off
//                      data frame sent right after the ACK of a host data frame
//   rawanswer ack|nak|HEX|off   answer to unframed host bytes (sent once the
//                      host has been quiet for 20 ms)
//   binreport DATA [N] | binreport off
//                      binary report sent after the SYN ACK of the next N
//                      good binary frames
//   mode off           leave a custom input mode
//   reset              faults, fixed answers, idle answer, the running
//                      command, modes and the image RAM back to the start
//                      (handlers stay)
// Faults (the device remembers the true frame: a resend starts from it)
//   nak [N]            NAK good command and data frames (the command is dropped)
//   noack [N]          take command and data frames, answer nothing
//   ackdelay MS [N]    ACK and NAK answers go out MS late
//   silent [N]         answer nothing to any frame (the device did not hear it)
//   busy POLLS [N]     commands stay busy ("B") for POLLS polls
//   badbcc [N]         reply frames (resends too) carry a wrong BCC
//   kind K [N]         poll answers carry kind K
//   noise HEX [always|off|xN]
//                      HEX goes out right before a reply frame, in the same
//                      write (every word is HEX: a count must be "always", "xN")
//   stale [N]          a complete idle frame goes out right before a reply frame
//   split SIZE GAPMS [N]  reply writes go out in SIZE-byte pieces GAPMS apart
//   delay MS [N]       reply writes go out MS late
//   long LEN [N]       poll answers carry LEN data bytes ("0123456789...")
//   binanswer ack|nak|garbage|silent [N]
//                      the answer to host binary frames (garbage: 16 3F)
//   binbadbcc [N]      binary reports carry a wrong BCC
//   binmalformed [N]   binary reports carry '@' in place of their STX
//   nopoll [N]         polls get no answer (commands still get their ACK)
//   still POLLS [N]    commands answer POLLS polls "A CODE 12" (the previous
//                      command still runs) before their own replies
//   otherbusy CODE [N] commands answer their first poll "B CODE 00" (busy
//                      with another command)
//   slow MS [N]        standard device: commands stay busy ("B") for MS
// Standard device (the common command set, see command_set.h)
//   device standard|plain   install or remove it (off at start; "reset"
//                      puts its state back to power-on, keeping the model)
//   model mivor|dastel|quenby|holdt|folsk|yarsel|other
//                      the family, by the version text "VS" answers
//   version TEXT       any version text
//   state DIGIT        the device state of the idle answer (2: power-up,
//                      every command but PA, RS and CL answers "10")
//   card insert|remove|none|front|middle|rear|exit
//                      the operator's card, or put it somewhere
//   cardwait MS|manual a waiting card command gets its card MS later
//                      (default 200), or only from "card insert"
//   track 1|2|3 DATA|blank   what the card holds on that track
//   counter LETTER HEX set one counter ("CT:LETTER")
//   clock YYMMDDhhmmss|pc    the device clock
//   restart MS         how long "RS" leaves the device deaf (default 1000)
//   ramclear MS        how long "!!\$." keeps the device busy before the
//                      backup RAM from 660000 reads back as zeros (1000)
//   ramclear polls N   "!!\$." answers N "B" replies instead, however fast
//                      the host polls
//   ramclear stuck ADDR HH|off   after the erase the byte at ADDR holds HH
//   card insert MS     the operator's card reaches the slot MS later
//   modes PAIRS        the device's mode pairs, as "MS:PAIRS" sets them
//   magfault 1|2|3 write|verify|read [N]
//                      that track's next N writes put spoiled data on the
//                      card ("WR" reports "44"), verifies report "44" or
//                      reads report "41"; "RC" shows each track's result
//                      (magnetic_tracks.h). The loaded print data and the
//                      printed cards: Simulator::PrintData, PrintedCards
//   cards DIR|off      each printed card also as DIR/card-NNN.pbm (the
//                      image RAM) and card-NNN.txt (kind, background,
//                      tracks, text lines), numbered from 001 (printed_card_files.h)
// EEPROM and maintenance (standard device, eeprom_bank.h, eeprom_maintenance.h):
// "eer:AA/NN" and "eew:AA/NN/data" on the chosen family's word store (the
// model knob chooses it too), "!!h0" to "!!h2" the head lift
//   eeprom family mivor|dastel|quenby|folsk   the word store in use
//   eeprom set AA HEX  words from AA (four hex digits a word)
//   eeprom dump [AA NN]   a transcript note "eeprom FAMILY AA/NN words"
//   eeprom fail AA STATUS | eeprom fail off
//                      reads and writes that cover word AA answer STATUS
//   eeprom reset       every store back to its factory image ("reset" too)
//   maint PREFIX STATUS | maint PREFIX off | maint off
//                      "!!" commands whose parameter begins with PREFIX
//                      answer STATUS
//   dip HHHH | dip script R1 R2 ...
//                      the DIP switches "!!i" reads (panel_device.h): both
//                      banks, or readings in turn ("-" a refused one)
//   memory set ADDR HEX | memory fill ADDR COUNT HH | memory default
//                      the device memory "md" dumps (memory_model.h): bytes
//                      from ADDR, COUNT bytes HH, or every byte its default
//   memory fail STATUS [AFTER] | memory fail off
//                      the "md" after AFTER good ones (default 0) answers STATUS
//   cardread on|off|clear   the card-read profile (card_read_profile.h): each
//                      "CI" a pass, its good answer carrying the track data
//   cardread data TEXT the track data of those answers
//   cardread status PASS STATUS|off   pass PASS's "CI" answers STATUS
// Print image ("PI" records and "IB" blocks fill the image RAM, image_ram.h)
//   ibwidth DOTS       the head's width, which sets an "IB" block's length
//                      (4 + 4 * ceil(DOTS / 8) bytes; default 320)
//   ibnak NUM [N]      the next N tries of "IB" block number NUM get NAK
//   ibsilent [N]       the next N "IB" blocks or closing polls get no answer
//   ibbadbcc [N]       the next N verdicts of an "IB" closing poll carry a
//                      wrong BCC
//   image clear        empty the image RAM ("reset" empties it too)
// At once
//   send HEX           these bytes go out now (unsolicited)
//   binsend good|badbcc|malformed [HEX]
//                      a binary report frame goes out now; a SYN NAK from the
//                      host gets it again, good
//   cts|dsr|rlsd on|off   a device line; a change bumps its counter
//   dsrpulse [MS]      DSR off, on again MS later (default 50)
//   ring [MS]          RING on for MS (default 50); the ring counter counts it
//   break              the break counter goes up
//   framing|overrun|parity [COUNT]   that error counter goes up by COUNT (1)
//   hangup             close the pty master: a pulled cable (the host's reads
//                      end with end-of-file or EIO)
//   replug             a new pty behind the same link
//   pace BAUD [BITS] | pace off
//                      take and send bytes no faster than BAUD with BITS bits
//                      a character (default 10; 11 with a parity bit)
//   frametimeout MS    a frame begun and not finished within MS is dropped as
//                      RAW [partial] (default 1000)
//   note TEXT          a line in the transcript
//   transcript clear   forget the transcript kept in memory
//   wait MS            pause
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "line_events.h"
#include "simulator_impl.h"
#include "wire/hex.h"

namespace sim {

namespace {

const char kHelp[] =
    R"(Control lines (one action a line; blank lines and lines starting with # do nothing;
"double quotes" keep blanks in one word):
  N     occasions a fault acts on: a number (or xN), "always" or "off" (default 1)
  DATA  text as it stands, "quoted text", text:ABC, or hex:0241
  HEX   hex pairs ("41 06", "4106"); text:ABC is taken too
Device
  reply CODE STATUS [DATA] [busy N] [kind K]   fixed answer for command CODE
  reply CODE nak | reply CODE off
  idle STATE AUX [DATA]          idle poll answer "R STATE AUX DATA" (default R 00 00)
  datareply DATA | datareply off data frame sent after the ACK of a host data frame
  rawanswer ack|nak|HEX|off      answer to unframed host bytes (after 20 ms quiet)
  binreport DATA [N] | binreport off   report after the SYN ACK of good binary frames
  mode off                       leave a custom input mode
  reset                          faults, fixed answers, idle answer, job, modes reset
Faults ("NAME off" clears one, "faults off" all)
  nak [N]  noack [N]  ackdelay MS [N]  silent [N]  busy POLLS [N]
  badbcc [N]  kind K [N]  noise HEX [always|xN]  stale [N]  split SIZE GAPMS [N]
  delay MS [N]  long LEN [N]
  binanswer ack|nak|garbage|silent [N]  binbadbcc [N]  binmalformed [N]
  nopoll [N]                     polls get no answer (commands still get ACK)
  still POLLS [N]                POLLS polls "A CODE 12" before the command's replies
  otherbusy CODE [N]             the command's first poll answered "B CODE 00"
  slow MS [N]                    standard device: commands stay "B" for MS
Standard device (the common command set; off at start)
  device standard|plain          install or remove it ("reset": power-on state)
  model mivor|dastel|quenby|holdt|folsk|yarsel|other   version text of "VS"
  version TEXT                   any version text
  state DIGIT                    device state of the idle answer (2: power-up)
  card insert|remove|none|front|middle|rear|exit   the operator's card
  cardwait MS|manual             a waiting card command gets a card MS later (200)
  cards DIR|off                  each printed card as DIR/card-NNN.pbm and .txt
  track 1|2|3 DATA|blank  counter LETTER HEX  clock YYMMDDhhmmss|pc
  restart MS                     "RS" leaves the device deaf for MS (1000)
  ramclear MS                    "!!\$." busy for MS, then 660000.. cleared (1000)
  ramclear polls N               "!!\$." busy for N "B" replies instead
  ramclear stuck ADDR HH|off     after the erase the byte at ADDR holds HH
  adc HEX...                     the A/D codes "!!s" answers with (S A B C D E, -, battery)
  jitter 1|2|3 ins|ej MAX MIN AVE RATE SPEED THR OK|NG   "jt:" figures after "WR" / "VR"
  card insert MS                 the operator's card reaches the slot MS later
  modes PAIRS                    the device's mode pairs, as "MS:PAIRS" sets them
  magfault 1|2|3 write|verify|read [N]   that track's next N writes, verifies or reads fail
EEPROM and maintenance ("eer:"/"eew:" on the family's words; "!!h0".."!!h2" head lift)
  eeprom family mivor|dastel|quenby|folsk   the word store in use (model sets it too)
  eeprom set AA HEX              words from AA, four hex digits a word
  eeprom dump [AA NN]            transcript note "eeprom FAMILY AA/NN words"
  eeprom fail AA STATUS | eeprom fail off   reads/writes covering word AA answer STATUS
  eeprom reset                   every store back to its factory image ("reset" too)
  maint PREFIX STATUS | maint PREFIX off | maint off   "!!"+PREFIX... answers STATUS
  mivor settings from-eeprom|plain   Mivor "TH", "!!r?", "!!s", "CT:a-d", "!!e" from its EEPROM words
  mivor rank CHAR                the head rank character "!!r?" and "TH" answer (from-eeprom)
  dip HHHH | dip script R1 R2 ...   the DIP switches "!!i" reads ("-": a refused reading)
  memory set ADDR HEX | memory fill ADDR COUNT HH | memory default   what "md" dumps ("mdw" writes)
  memory fail STATUS [AFTER] | memory fail off   the "md" after AFTER good ones fails
  cardread on|off|clear          "CI" passes carry track data ("cardread data TEXT")
  cardread status PASS STATUS|off   pass PASS's "CI" answers STATUS
Print image ("PI" records and "IB" blocks fill the image RAM)
  ibwidth DOTS                   head width: an "IB" block is 4 + 4 * ceil(DOTS / 8) bytes (320)
  ibnak NUM [N]                  the next N tries of "IB" block number NUM get NAK
  ibsilent [N]                   the next N "IB" blocks or closing polls get no answer
  ibbadbcc [N]                   the next N "IB" verdicts carry a wrong BCC
  image clear                    empty the image RAM ("reset" empties it too)
At once
  send HEX                       unsolicited bytes
  binsend good|badbcc|malformed [HEX]   a binary report frame
  cts|dsr|rlsd on|off  dsrpulse [MS]  ring [MS]  break  framing|overrun|parity [COUNT]
  hangup                         close the pty master (a pulled cable)
  replug                         a new pty behind the same link
  pace BAUD [BITS] | pace off    wire speed, BITS a character (10; 11 with parity)
  frametimeout MS  note TEXT  transcript clear  wait MS
)";

using Words = std::vector<std::string>;

// Splits on blanks; "double quotes" hold a word with blanks in it.
bool Tokenize(const std::string& line, Words* out) {
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : line) {
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (inWord) out->push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) return false;
  if (inWord) out->push_back(word);
  return true;
}

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool ParseUint(const std::string& s, uint64_t* v) {
  if (s.empty() || s.size() > 12) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  *v = std::strtoull(s.c_str(), nullptr, 10);
  return true;
}

bool ParseData(const std::string& w, Bytes* out) {
  if (StartsWith(w, "hex:")) return wire::TryParseHex(w.substr(4), out);
  const std::string text = StartsWith(w, "text:") ? w.substr(5) : w;
  out->assign(text.begin(), text.end());
  return true;
}

bool ParseHex(const std::string& w, Bytes* out) {
  if (StartsWith(w, "text:") || StartsWith(w, "hex:")) return ParseData(w, out);
  return wire::TryParseHex(w, out);
}

// The words from `from` on, joined, as HEX.
bool ParseHexRest(const Words& w, size_t from, Bytes* out) {
  if (from + 1 == w.size()) return ParseHex(w[from], out);
  std::string joined;
  for (size_t i = from; i < w.size(); ++i) joined += w[i] + " ";
  return wire::TryParseHex(joined, out);
}

// The optional count at w[at] (and nothing after it).
bool ParseCount(const Words& w, size_t at, int* count) {
  if (at >= w.size()) {
    *count = 1;
    return true;
  }
  if (at + 1 != w.size()) return false;
  if (w[at] == "always") {
    *count = kAlways;
    return true;
  }
  if (w[at] == "off") {
    *count = 0;
    return true;
  }
  uint64_t v;
  const std::string n = w[at][0] == 'x' ? w[at].substr(1) : w[at];
  if (!ParseUint(n, &v) || v > 1000000) return false;
  *count = static_cast<int>(v);
  return true;
}

// A count that cannot be taken for hex: "always", "off" or "xN".
bool IsWordCount(const std::string& w) {
  return w == "always" || w == "off" || (w.size() > 1 && w[0] == 'x' && w[1] >= '0' && w[1] <= '9');
}

bool ParseOnOff(const std::string& w, bool* on) {
  if (w == "on" || w == "1") {
    *on = true;
    return true;
  }
  if (w == "off" || w == "0") {
    *on = false;
    return true;
  }
  return false;
}

const std::string kUsage = "usage: ";

}  // namespace

const char* Simulator::ControlHelp() { return kHelp; }

std::string Simulator::Impl::Control(const std::string& line) {
  Words w;
  if (!Tokenize(line, &w)) return "unbalanced quotes: " + line;
  if (w.empty() || w[0][0] == '#') return "";
  const std::string& cmd = w[0];

  if (cmd == "wait") {
    uint64_t ms;
    if (w.size() != 2 || !ParseUint(w[1], &ms)) return kUsage + "wait MS";
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return "";
  }
  if (cmd == "hangup") return Request(&hangupRequested);
  if (cmd == "replug") return Request(&replugRequested);

  std::lock_guard<std::recursive_mutex> lock(mu);
  if (!started) return "the simulator is not running";
  std::string error = Apply(w, line);
  if (error.empty()) transcript.Add(Dir::Control, {}, line);
  return error;
}

std::string Simulator::Impl::Apply(const std::vector<std::string>& w, const std::string& line) {
  const std::string& cmd = w[0];
  Faults& f = model.faults();
  int count = 1;
  uint64_t v = 0;

  // Faults with no argument but the count.
  struct Plain {
    const char* name;
    Knob* knob;
  };
  const Plain plain[] = {{"nak", &f.nak},         {"noack", &f.noAck},
                         {"silent", &f.silent},   {"badbcc", &f.badBcc},
                         {"stale", &f.stale},     {"binbadbcc", &f.binBadBcc},
                         {"binmalformed", &f.binMalformed}, {"nopoll", &f.noPoll},
                         {"ibsilent", &f.ibSilent},  {"ibbadbcc", &f.ibBadBcc}};
  for (const Plain& p : plain) {
    if (cmd != p.name) continue;
    if (!ParseCount(w, 1, &count)) return kUsage + cmd + " [N|always|off]";
    p.knob->left = count;
    return "";
  }
  // Faults with arguments: "NAME off" clears them.
  struct WithArgs {
    const char* name;
    Knob* knob;
  };
  const WithArgs withArgs[] = {{"ackdelay", &f.ackDelay}, {"busy", &f.busy},
                               {"kind", &f.kind},         {"noise", &f.noise},
                               {"split", &f.split},       {"delay", &f.delay},
                               {"long", &f.longReply},    {"binanswer", &f.binAnswer},
                               {"still", &f.still},       {"otherbusy", &f.otherBusy},
                               {"slow", &f.slow},         {"ibnak", &f.ibNak}};
  for (const WithArgs& a : withArgs) {
    if (cmd == a.name && w.size() == 2 && w[1] == "off") {
      a.knob->left = 0;
      return "";
    }
  }
  if (cmd == "ackdelay" || cmd == "delay" || cmd == "busy" || cmd == "long") {
    if (w.size() < 2 || !ParseUint(w[1], &v) || v > 600000 || !ParseCount(w, 2, &count))
      return kUsage + cmd + (cmd == "busy" ? " POLLS" : cmd == "long" ? " LEN" : " MS") + " [N]";
    if (cmd == "ackdelay") {
      f.ackDelayMs = static_cast<uint32_t>(v);
      f.ackDelay.left = count;
    } else if (cmd == "delay") {
      f.delayMs = static_cast<uint32_t>(v);
      f.delay.left = count;
    } else if (cmd == "busy") {
      f.busyPolls = static_cast<int>(v);
      f.busy.left = count;
    } else {
      f.longLen = static_cast<size_t>(v);
      f.longReply.left = count;
    }
    return "";
  }
  if (cmd == "still" || cmd == "slow") {
    const bool still = cmd == "still";
    if (w.size() < 2 || !ParseUint(w[1], &v) || v > 600000 || (still && (v == 0 || v > 1000)) ||
        !ParseCount(w, 2, &count))
      return kUsage + cmd + (still ? " POLLS [N]" : " MS [N]");
    if (still) {
      f.stillPolls = static_cast<int>(v);
      f.still.left = count;
    } else {
      f.slowMs = static_cast<uint32_t>(v);
      f.slow.left = count;
    }
    return "";
  }
  if (cmd == "ibnak") {
    if (w.size() < 2 || !ParseUint(w[1], &v) || v > 255 || !ParseCount(w, 2, &count))
      return kUsage + "ibnak NUM [N]";
    f.ibNakBlock = static_cast<int>(v);
    f.ibNak.left = count;
    return "";
  }
  if (cmd == "otherbusy") {
    if (w.size() < 2 || w[1].size() != 2 || !ParseCount(w, 2, &count))
      return kUsage + "otherbusy CODE [N]";
    f.otherCode = w[1];
    f.otherBusy.left = count;
    return "";
  }
  if (cmd == "kind") {
    if (w.size() < 2 || w[1].size() != 1 || !ParseCount(w, 2, &count)) return kUsage + "kind K [N]";
    f.kindByte = w[1][0];
    f.kind.left = count;
    return "";
  }
  if (cmd == "noise") {
    // Every word is HEX but a last "always", "off" or "xN".
    Words hex(w.begin(), w.end());
    if (hex.size() > 2 && IsWordCount(hex.back())) {
      if (!ParseCount(hex, hex.size() - 1, &count)) return kUsage + "noise HEX [always|off|xN]";
      hex.pop_back();
    }
    Bytes b;
    if (hex.size() < 2 || !ParseHexRest(hex, 1, &b) || b.empty())
      return kUsage + "noise HEX [always|off|xN]";
    f.noiseBytes = b;
    f.noise.left = count;
    return "";
  }
  if (cmd == "split") {
    uint64_t gap;
    if (w.size() < 3 || !ParseUint(w[1], &v) || v == 0 || !ParseUint(w[2], &gap) ||
        gap > 600000 || !ParseCount(w, 3, &count))
      return kUsage + "split SIZE GAPMS [N]";
    f.splitSize = static_cast<size_t>(v);
    f.splitGapMs = static_cast<uint32_t>(gap);
    f.split.left = count;
    return "";
  }
  if (cmd == "binanswer") {
    static const std::pair<const char*, BinAnswerFault> kinds[] = {
        {"ack", BinAnswerFault::Ack},
        {"nak", BinAnswerFault::Nak},
        {"garbage", BinAnswerFault::Garbage},
        {"silent", BinAnswerFault::Silent}};
    for (const auto& k : kinds) {
      if (w.size() >= 2 && w[1] == k.first && ParseCount(w, 2, &count)) {
        f.binAnswerFault = k.second;
        f.binAnswer.left = count;
        return "";
      }
    }
    return kUsage + "binanswer ack|nak|garbage|silent [N]";
  }
  if (cmd == "faults") {
    if (w.size() != 2 || w[1] != "off") return kUsage + "faults off";
    f.Clear();
    return "";
  }

  // ---- the device model ----
  if (cmd == "reply") {
    if (w.size() < 3 || w[1].size() != 2) return kUsage + "reply CODE STATUS [DATA] [busy N] [kind K]";
    if (w[2] == "off") {
      model.RemoveCanned(w[1]);
      return "";
    }
    CannedReply r;
    if (w[2] == "nak") {
      r.accept = false;
      model.SetCanned(w[1], r);
      return "";
    }
    if (w[2].size() != 2) return "reply: STATUS must be two characters";
    r.status = w[2];
    size_t i = 3;
    if (i < w.size() && w[i] != "busy" && w[i] != "kind") {
      if (!ParseData(w[i], &r.data)) return "reply: bad DATA " + w[i];
      ++i;
    }
    while (i + 1 < w.size()) {
      if (w[i] == "busy" && ParseUint(w[i + 1], &v) && v <= 1000000) {
        r.busyPolls = static_cast<int>(v);
      } else if (w[i] == "kind" && w[i + 1].size() == 1) {
        r.kind = w[i + 1][0];
      } else {
        break;
      }
      i += 2;
    }
    if (i != w.size()) return kUsage + "reply CODE STATUS [DATA] [busy N] [kind K]";
    model.SetCanned(w[1], r);
    return "";
  }
  if (cmd == "idle") {
    Bytes data;
    if (w.size() < 3 || w.size() > 4 || w[1].size() != 2 || w[2].size() != 2 ||
        (w.size() == 4 && !ParseData(w[3], &data)))
      return kUsage + "idle STATE AUX [DATA]";
    model.SetIdle(w[1], w[2], data);
    return "";
  }
  if (cmd == "datareply") {
    Bytes data;
    if (w.size() != 2) return kUsage + "datareply DATA|off";
    if (w[1] == "off") {
      model.SetDataReply(false, {});
      return "";
    }
    if (!ParseData(w[1], &data)) return "datareply: bad DATA " + w[1];
    model.SetDataReply(true, data);
    return "";
  }
  if (cmd == "rawanswer") {
    Bytes b;
    if (w.size() < 2) return kUsage + "rawanswer ack|nak|HEX|off";
    if (w[1] == "off") {
      model.SetRawAnswer(false, {});
    } else if (w[1] == "ack" && w.size() == 2) {
      model.SetRawAnswer(true, Bytes{wire::ACK});
    } else if (w[1] == "nak" && w.size() == 2) {
      model.SetRawAnswer(true, Bytes{wire::NAK});
    } else if (ParseHexRest(w, 1, &b) && !b.empty()) {
      model.SetRawAnswer(true, b);
    } else {
      return kUsage + "rawanswer ack|nak|HEX|off";
    }
    return "";
  }
  if (cmd == "binreport") {
    Bytes data;
    if (w.size() == 2 && w[1] == "off") {
      model.SetBinReport({}, 0);
      return "";
    }
    if (w.size() < 2 || !ParseData(w[1], &data) || !ParseCount(w, 2, &count))
      return kUsage + "binreport DATA [N] | binreport off";
    model.SetBinReport(data, count);
    return "";
  }
  if (cmd == "mode") {
    if (w.size() != 2 || w[1] != "off") return kUsage + "mode off";
    mode.reset();
    modeHeld.clear();
    return "";
  }
  if (cmd == "reset") {
    if (w.size() != 1) return kUsage + "reset";
    model.Reset();
    mode.reset();
    modeHeld.clear();
    commands->Reset();
    image.Clear();
    return "";
  }

  // ---- at once ----
  if (cmd == "send") {
    Bytes b;
    if (w.size() < 2 || !ParseHexRest(w, 1, &b) || b.empty()) return kUsage + "send HEX";
    Send(b, "SEND");
    return "";
  }
  if (cmd == "binsend") {
    Bytes data;
    BinSendKind how;
    if (w.size() < 2) return kUsage + "binsend good|badbcc|malformed [HEX]";
    if (w[1] == "good") {
      how = BinSendKind::Good;
    } else if (w[1] == "badbcc") {
      how = BinSendKind::BadBcc;
    } else if (w[1] == "malformed") {
      how = BinSendKind::Malformed;
    } else {
      return kUsage + "binsend good|badbcc|malformed [HEX]";
    }
    if (w.size() > 2 && !ParseHexRest(w, 2, &data)) return "binsend: bad HEX";
    Queue(model.BinSend(data, how));
    Wake();
    return "";
  }
  plat::SideChannelBlock* lines = side->block();
  if (cmd == "cts" || cmd == "dsr" || cmd == "rlsd") {
    bool on;
    if (w.size() != 2 || !ParseOnOff(w[1], &on)) return kUsage + cmd + " on|off";
    const uint32_t bit = cmd == "cts" ? plat::kLineCts : cmd == "dsr" ? plat::kLineDsr : plat::kLineRlsd;
    SetDeviceLine(lines, bit, on);
    return "";
  }
  if (cmd == "dsrpulse" || cmd == "ring") {
    v = 50;
    if (w.size() > 2 || (w.size() == 2 && (!ParseUint(w[1], &v) || v > 600000)))
      return kUsage + cmd + " [MS]";
    const uint32_t bit = cmd == "ring" ? plat::kLineRing : plat::kLineDsr;
    const bool pulseOn = cmd == "ring";  // DSR pulses off, RING pulses on
    SetDeviceLine(lines, bit, pulseOn);
    After(static_cast<uint32_t>(v), [lines, bit, pulseOn] { SetDeviceLine(lines, bit, !pulseOn); });
    return "";
  }
  if (cmd == "break" || cmd == "framing" || cmd == "overrun" || cmd == "parity") {
    v = 1;
    if (w.size() > 2 || (w.size() == 2 && (!ParseUint(w[1], &v) || v > 1000000)))
      return kUsage + cmd + " [COUNT]";
    LineCounter(lines, cmd)->fetch_add(static_cast<uint32_t>(v));
    return "";
  }
  if (cmd == "pace") {
    if (w.size() == 2 && w[1] == "off") {
      inPace.Set(0, 0);
      out.SetPace(0, 0);
      parser.SetRawGapUs(20000);
      return "";
    }
    uint64_t bits = 10;
    if (w.size() < 2 || w.size() > 3 || !ParseUint(w[1], &v) || v < 50 || v > 4000000 ||
        (w.size() == 3 && (!ParseUint(w[2], &bits) || bits < 7 || bits > 13)))
      return kUsage + "pace BAUD [BITS] | pace off";
    const uint64_t usPerChar = (bits * 1000000 + v - 1) / v;
    inPace.Set(v, bits);
    out.SetPace(v, bits);
    // Raw bytes are grouped until the host is quiet: a few characters' time
    // at the slowest, never less than 20 ms.
    parser.SetRawGapUs(std::max<uint64_t>(20000, 3 * usPerChar));
    return "";
  }
  if (cmd == "frametimeout") {
    if (w.size() != 2 || !ParseUint(w[1], &v) || v == 0 || v > 600000)
      return kUsage + "frametimeout MS";
    parser.SetFrameTimeoutUs(v * 1000);
    return "";
  }
  if (cmd == "note") return "";  // the line itself is the note
  std::string deviceError;
  if (commands->Control(w, &deviceError)) return deviceError;
  if (image.Control(w, &deviceError)) return deviceError;
  if (cmd == "transcript") {
    if (w.size() != 2 || w[1] != "clear") return kUsage + "transcript clear";
    transcript.Clear();
    return "";
  }
  return "unknown control line: " + line;
}

}  // namespace sim
