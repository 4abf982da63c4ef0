// Settings files with the semantics of the Windows profile functions:
// sections and keys match without regard to case, values are trimmed and lose
// one pair of surrounding quotes, ';' starts a comment line, CRLF or LF, and
// bytes pass through untouched (Shift-JIS text stays Shift-JIS). Writes keep
// the rest of the file byte for byte, replace the file atomically and are
// serialised between processes by an flock on "<file>.lock". Keys before the
// first header belong to the section "". Of duplicate sections or keys the
// first is read and written.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Value of key in section, or def when the file, section or key is missing.
std::string ProfileGetString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& def);
// Leading signed decimal number of the value ("-5x" -> -5, "x" -> 0), taken
// modulo 2^32; def when the key is missing or its value empty.
int32_t ProfileGetInt(const std::string& file, const std::string& section,
                      const std::string& key, int32_t def);
// Sets key to value, adding the section or key when missing. A null key
// removes the whole section (every copy of it); a null value removes the key.
// A new key goes after the last key of its section, a new section at the end,
// in the file's own line ending (CRLF for a new file). False on I/O error and
// for what would not read back: a line break anywhere, a key with '=' or
// starting with '[' or ';'.
bool ProfileWriteString(const std::string& file, const std::string& section,
                        const char* key, const char* value);

// Names of the sections, or of the keys of one section, in file order.
std::vector<std::string> ProfileSections(const std::string& file);
std::vector<std::string> ProfileKeys(const std::string& file, const std::string& section);

// Writes data to path whole or not at all (temporary file, fsync, rename).
bool WriteFileAtomic(const std::string& path, const std::string& data);

}  // namespace plat
