#include "core/main_module.h"

namespace quorel {

MainModule& mm() {
  static MainModule state;
  return state;
}

QString InstanceSection(const QString& base) {
  const int n = mm().gInstanceNo;
  return n == 0 ? base : base + QString::number(n);
}

}  // namespace quorel
