// A channel view that remembers what the channel showed: the last caption or
// text, tool tip and colours of each control, every update in order, the
// log box and the RAM-clear displays.
#pragma once
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/channel_view.h"

namespace quorel::testing {

class RecordingView : public ChannelView {
 public:
  static QString Key(const QString& control, int index) {
    return index < 0 ? control : control + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
  }

  void Apply(const ControlUpdate& u) override {
    updates.push_back(u);
    const QString key = Key(u.control, u.index);
    if (u.property == DisplayProperty::kToolTip)
      tips[key] = u.text;
    else if (u.property == DisplayProperty::kListIndex)
      listIndex[key] = u.listIndex;
    else
      texts[key] = u.text;
  }
  QString CurrentText(const QString& control) const override { return texts.value(control); }
  void SetBackColor(const QString& control, uint32_t bgr) override { back[control] = bgr; }
  void SetForeColor(const QString& control, uint32_t bgr) override {
    fore[control] = bgr;
    foreHistory.push_back(control + QLatin1Char('=') + QString::number(bgr, 16));
  }
  void ShowLog(const QString& text, const QString& toolTip) override {
    logText = text;
    logTip = toolTip;
    ++logShows;
  }
  void ShowRamClearProgress(const QString& w, const QString& p, float v) override {
    watch = w;
    percent = p;
    progress = v;
  }
  void StopSideTimers() override { ++sideTimerStops; }
  bool SensorRef33() const override { return false; }
  bool CardKindFromMode() const override { return false; }
  QStringList CardKinds() const override { return {}; }
  QString CardKindText() const override { return {}; }

  QString Text(const QString& control, int index = -1) const { return texts.value(Key(control, index)); }
  // Every update of that control element, in order.
  int UpdatesOf(const QString& control) const {
    int n = 0;
    for (const ControlUpdate& u : updates)
      if (u.control == control) ++n;
    return n;
  }

  std::vector<ControlUpdate> updates;
  QMap<QString, QString> texts, tips;
  QMap<QString, int> listIndex;
  QMap<QString, uint32_t> back, fore;
  QStringList foreHistory;
  QString logText, logTip;
  int logShows = 0;
  QString watch, percent;
  float progress = -1;
  int sideTimerStops = 0;
};

}  // namespace quorel::testing
