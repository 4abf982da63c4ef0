// The standard device: the common command set of the card reader/writer,
// installed on the simulator as command handlers by the control line
// "device standard" (and taken off by "device plain"). It keeps a
// DeviceState and answers each known code from it; a card command waits
// for a card, "RS" restarts the device (no answer at all for a while, then a
// power-up report), unknown codes get end code "11" and, while the device
// reports a power-up, everything but "PA", "RS" and "CL" gets "10". The
// idle "R" answer follows the device state and the card position.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "card_read_profile.h"
#include "device_state.h"
#include "eeprom_bank.h"
#include "eeprom_maintenance.h"
#include "memory_model.h"
#include "mivor_eeprom_unit.h"
#include "jitter_gauge.h"
#include "panel_device.h"
#include "image_ram.h"
#include "print_buffer.h"
#include "printed_card_files.h"
#include "sim/simulator.h"

namespace sim {

class DeviceModel;

class CommandSet {
 public:
  // All three outlive the command set; every call comes with the simulator
  // locked. A printed card takes its picture from the image RAM.
  CommandSet(Simulator& sim, DeviceModel& model, const ImageRam& image);
  CommandSet(const CommandSet&) = delete;
  CommandSet& operator=(const CommandSet&) = delete;

  // One control line of the standard device, split into words: false when
  // it is none of them; else *error is "" or the error text.
  bool Control(const std::vector<std::string>& w, std::string* error);
  // The control line "reset": the device back to its power-on state; the
  // model and the installed handlers stay.
  void Reset();
  bool installed() const { return installed_; }
  // The print data loaded and the cards printed since the last reset.
  const PrintBuffer& printBuffer() const { return printBuffer_; }

 private:
  void Install();
  void Uninstall();
  Answer Handle(const Command& cmd);
  Answer Run(const std::string& code, const std::string& param);
  Answer CardWait(const std::string& code, const std::string& param);
  Answer Restart();
  // "!!\$.": busy for ramClearMs_ (or ramClearPolls_ "B" replies), then
  // the backup RAM (memory from kBackupRamStart on) reads back as zeros,
  // but for a stuck byte.
  Answer BackupRamClear();
  // A card that "card insert MS" put on a timer reaches the slot.
  void TimedInsert();
  // A card reached the slot while a command waits for one.
  void CardArrived();
  void FinishRestart();
  void SyncIdle();
  // The card just printed, as files when "cards DIR" asked for them.
  void WriteCardFiles();
  std::string CardControl(const std::vector<std::string>& w);
  std::string KnobControl(const std::vector<std::string>& w);
  // "ramclear": the erase's length (real time or counted polls) and a byte
  // it leaves set.
  std::string RamClearControl(const std::vector<std::string>& w);
  // "magfault" and "modes".
  std::string MagneticControl(const std::vector<std::string>& w);
  static uint64_t NowMs();

  Simulator& sim_;
  DeviceModel& model_;
  const ImageRam& image_;
  DeviceState state_;
  MemoryModel memory_;        // "md"
  CardReadProfile cardRead_;  // "CI" passes, "!!m"
  EepromBank eeprom_;          // "ee" words of each family
  EepromMaintenance maint_;    // "!!h" positions, chosen "!!" end codes
  MivorEepromUnit mivor_;      // "mivor settings from-eeprom": answers from the EEPROM
  PrintBuffer printBuffer_;    // "PC", "MS:", "GJ:", "PD:", "RV" and the printed cards
  PrintedCardFiles cardFiles_;  // "cards DIR": each printed card as files
  PanelDevice panel_;          // "mdw", "SG:", "LD:", "BZ", "!!i"
  JitterGauge jitter_;         // "jt:" after "WR"/"VR"
  bool installed_ = false;

  // A card command waiting for a card.
  bool waiting_ = false;
  bool cleaning_ = false;  // a cleaning card: it goes out again when done
  CardPos waitTo_ = CardPos::Middle;
  uint64_t waitSinceMs_ = 0;
  int64_t cardWaitMs_ = 200;  // the operator's card comes after this; -1: only "card insert"

  // "RS": deaf until restartUntilMs_.
  bool restarting_ = false;
  uint64_t restartUntilMs_ = 0;
  uint32_t restartMs_ = 1000;

  // The backup RAM clear: how long the device stays busy with it.
  uint32_t ramClearMs_ = 1000;
  // When non-zero, the erase lasts this many "B" replies instead.
  uint32_t ramClearPolls_ = 0;
  // A cell the erase does not reach: it holds stuckValue_ afterwards.
  bool stuckSet_ = false;
  uint32_t stuckAddress_ = 0;
  uint8_t stuckValue_ = 0;
  // "card insert MS": when the operator's card reaches the slot (0: none due).
  uint64_t insertAtMs_ = 0;
};

}  // namespace sim
