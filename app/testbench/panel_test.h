// The panel checks of the bench's "DSW/7Seg/LED/Buzz" tab: the 7-segment
// display segment by segment, the two LEDs steady and blinking, the buzzer's
// volume steps. Each check sends a fixed sequence with a settable step time
// while the window draws what the device should show; the operator compares,
// nothing is judged.
#pragma once
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

// ---- rules ----

// One step of a check: what the window shows, the commands in order, and
// whether the step time passes after them.
struct PanelStep {
  QString caption;  // Lb7Seg for the 7-segment check, the picture for the buzzer
  QStringList commands;
  bool wait = true;
};

// "mdw" + six upper-case hex digits of the address + ":" + two hex digits.
QString MemoryWriteCommand(uint32_t address, uint8_t value);
// The nine steps of the 7-segment check.
const std::vector<PanelStep>& SevenSegmentSteps();
// What the 7-segment check sends after its closing box.
QStringList SevenSegmentClosing();
// The buzzer check's three steps (caption: the picture file PicVolume shows).
const std::vector<PanelStep>& BuzzerSteps();
// A step-time box as seconds: a number from 0 up; anything else (empty,
// letters, negative, not finite) is 0, so the check runs without pauses.
double StepSecondsOf(const QString& text);

// The LED blink as a state machine of two timers: every 240 ms the blinking
// lamps light, and 100 ms later the ones of the mode go dark again. Mode 2
// blinks LED 2, 3 LED 1, 4 both; any other mode draws nothing.
class LedBlinker {
 public:
  static constexpr int kPeriodMs = 240;
  static constexpr int kOnMs = 100;
  // lamp 1 or 2, lit or not.
  using Draw = std::function<void(int lamp, bool lit)>;

  explicit LedBlinker(Draw draw);
  void SetMode(int mode) { mode_ = mode; }
  int mode() const { return mode_; }
  void Start();
  void Stop();
  bool active() const { return period_.isActive(); }
  // One blink's first half (the timer's tick) and its second half.
  void LightPhase();
  void DarkPhase();

 private:
  Draw draw_;
  int mode_ = 0;
  QTimer period_;
  QTimer dark_;
};

// ---- the job ----

class PanelTest {
 public:
  static constexpr uint32_t kLampOff = 0xE0E0E0;
  static constexpr uint32_t kLed1Lit = 0xC0E0FF;
  static constexpr uint32_t kLed2Lit = 0xC0C0FF;
  static constexpr uint32_t kLamp0Lit = 0xC0FFC0;

  PanelTest(FormControls& ui, JobHost& host, BenchJobState& state);
  // How the window shows a picture file in PicVolume (the buzzer steps).
  void SetPictureHook(std::function<void(const QString& file)> show) { showPicture_ = std::move(show); }
  // CmdRWDevTst_Click(index).
  void Click(int index);
  const LedBlinker& blinker() const { return blinker_; }

 private:
  void Lock();
  void Restore();
  void RunSevenSegment();
  void RunLeds();
  void RunBuzzer();
  void Send(const QStringList& commands);
  void Wait();
  void Lamp(int lamp, bool lit);

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
  int index_ = 0;
  LedBlinker blinker_;
  std::function<void(const QString&)> showPicture_;
};

}  // namespace quorel
