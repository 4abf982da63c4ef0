// The defaults written into the program's and the library's settings files.
#pragma once

namespace quorel {

// Writes [Application] App and every default key of one instance's numbered
// set of sections into gIniPath ([Path], [Comm], [COMEvent], [BMPDown],
// [Form], [EEPROM], [FormFile], with the number appended when it is not 0),
// replacing what that set held. Sets gLogOutPath to the desktop folder.
void CreateDefaultIni(int instance);

// Writes the library settings file's six defaults into gDllIniPath.
void CreateDefaultDllIni();

}  // namespace quorel
