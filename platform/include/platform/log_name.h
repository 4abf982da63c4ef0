// Turns the configured log-file pattern into a path. The pattern is never used
// as a printf format: the folder part is literal, the file-name part may hold
// one integer conversion %[flags][width](d|i|u|x|X|o) taking the port number,
// and %% for a percent sign; a second conversion is left as text. '\' reads as
// '/'. The pattern is CP932 and is decoded to UTF-8; a relative result is made
// absolute against baseDir (the current folder when empty) and "." and ".."
// are resolved by name. An empty pattern or one without a file name gives "".
#pragma once
#include <string>

namespace plat {

std::string FormatLogFileName(const std::string& patternCp932, int port, const std::string& baseDir);

}  // namespace plat
