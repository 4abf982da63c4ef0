#include "core/model_family.h"

namespace quorel {

ModelFamily ModelFamilyOf(const QString& versionText) {
  const auto begins = [&versionText](const char* prefix) { return versionText.startsWith(QLatin1String(prefix)); };
  if (begins("4211")) return ModelFamily::kV4211;
  if (begins("145")) return ModelFamily::kV145;
  if (begins("14")) return ModelFamily::kV14;
  if (begins("51")) return ModelFamily::kV51;
  if (begins("3")) return ModelFamily::kV3;
  if (begins("9")) return ModelFamily::kV9;
  return ModelFamily::kOther;
}

}  // namespace quorel
