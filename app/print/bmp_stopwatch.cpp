#include "print/bmp_stopwatch.h"

#include <QElapsedTimer>

namespace quorel {

BmpStopwatch::BmpStopwatch() {
  clock_ = [] {
    static QElapsedTimer timer = [] {
      QElapsedTimer t;
      t.start();
      return t;
    }();
    return static_cast<uint32_t>(timer.elapsed());
  };
}

void BmpStopwatch::Start() {
  start_ = clock_();
  started_ = true;
}

uint32_t BmpStopwatch::ElapsedMs() const { return started_ ? clock_() - start_ : 0; }

QString TimeCaption(uint32_t ms) {
  return QStringLiteral("%1.%2 s").arg(ms / 1000).arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString NoTimeCaption() { return QStringLiteral("--.--- s"); }

}  // namespace quorel
