// Exports whose work is not in the library yet: the picture download. Each
// answers 1 until its own file replaces it here.
#include "vantor.h"

extern "C" {

VANTOR_API int16_t crwPIDataSend(int32_t, int16_t, int16_t, int16_t, int16_t, int16_t, int16_t, int16_t,
                                 int32_t, int32_t, const char*, char**, char**) {
  return 1;
}
VANTOR_API int16_t crwIBBinarySend(int32_t, int16_t, int16_t, int16_t, int16_t, int16_t, int16_t, int32_t,
                                   int32_t, const char*, char**, char**) {
  return 1;
}

}  // extern "C"
