// Model families as the device's version text ("VS" reply data) names them
// by its first characters. Longer prefixes are tested first where they
// overlap ("145" before "14").
#pragma once
#include <QString>

namespace quorel {

enum class ModelFamily {
  kV3,     // begins "3"
  kV4211,  // begins "4211"
  kV145,   // begins "145"
  kV51,    // begins "51"
  kV14,    // begins "14", not "145"
  kV9,     // begins "9"
  kOther,  // anything else, also an empty version text
};

ModelFamily ModelFamilyOf(const QString& versionText);

}  // namespace quorel
