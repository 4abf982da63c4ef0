#include "platform/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace plat {
namespace {

// ---- Bytes ------------------------------------------------------------------

// Shift-JIS lead bytes; the byte after one is a trail byte and may look like
// an ASCII letter, so it is never folded. Trail bytes are 0x40 and above, so
// they never look like '=', ';', blanks or line breaks; a ']' trail byte is
// why a header ends at its last ']'.
bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLead(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

// ---- Parsed view of a file ---------------------------------------------------

enum class Kind { kOther, kSection, kKey };

struct Line {
  size_t begin = 0;       // first byte
  size_t contentEnd = 0;  // before "\r\n" or "\n"
  size_t end = 0;         // after the line break
  Kind kind = Kind::kOther;
  std::string_view name;   // section or key name, trimmed
  size_t valueBegin = 0;   // raw value after '=' and the blanks after it
  size_t afterEq = 0;      // just after '=': a new value replaces from here
};

struct Section {
  std::string_view name;
  size_t header = SIZE_MAX;  // line index of "[name]"; SIZE_MAX for the unnamed top
  size_t first = 0;          // first line after the header
  size_t last = 0;           // one past the last line
};

class Ini {
 public:
  explicit Ini(std::string text) : text_(std::move(text)) { Parse(); }

  const std::string& text() const { return text_; }
  const std::vector<Line>& lines() const { return lines_; }
  const std::vector<Section>& sections() const { return sections_; }
  size_t bodyBegin() const { return bodyBegin_; }

  // First section of that name (later duplicates are shadowed), or null.
  const Section* FindSection(std::string_view name) const {
    for (const auto& s : sections_)
      if (SameName(s.name, name)) return &s;
    return nullptr;
  }
  // Line index of the first key of that name in the section, or SIZE_MAX.
  size_t FindKey(const Section& s, std::string_view key) const {
    for (size_t i = s.first; i < s.last; ++i)
      if (lines_[i].kind == Kind::kKey && SameName(lines_[i].name, key)) return i;
    return SIZE_MAX;
  }
  std::string Value(size_t line) const {
    const Line& l = lines_[line];
    std::string_view v = Trim(std::string_view(text_).substr(l.valueBegin, l.contentEnd - l.valueBegin));
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(v);
  }
  // The file's own line break; CRLF for a file that has none yet.
  std::string Eol() const {
    const size_t nl = text_.find('\n');
    if (nl != std::string::npos && (nl == 0 || text_[nl - 1] != '\r')) return "\n";
    return "\r\n";
  }

 private:
  void Parse() {
    size_t pos = text_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bodyBegin_ = pos;
    Section top;
    top.first = 0;
    sections_.push_back(top);
    const std::string_view all(text_);
    while (pos < text_.size()) {
      Line l;
      l.begin = pos;
      const size_t nl = text_.find('\n', pos);
      l.end = nl == std::string::npos ? text_.size() : nl + 1;
      l.contentEnd = nl == std::string::npos ? text_.size() : nl;
      if (l.contentEnd > l.begin && text_[l.contentEnd - 1] == '\r') --l.contentEnd;
      Classify(all, &l);
      if (l.kind == Kind::kSection) {
        sections_.back().last = lines_.size();
        Section s;
        s.name = l.name;
        s.header = lines_.size();
        s.first = lines_.size() + 1;
        sections_.push_back(s);
      }
      lines_.push_back(l);
      pos = l.end;
    }
    sections_.back().last = lines_.size();
  }

  static void Classify(std::string_view all, Line* l) {
    const std::string_view raw = all.substr(l->begin, l->contentEnd - l->begin);
    const std::string_view content = Trim(raw);
    if (content.empty() || content.front() == ';') return;
    if (content.front() == '[') {
      std::string_view inner = content.substr(1);
      const size_t close = inner.rfind(']');
      if (close != std::string_view::npos) inner = inner.substr(0, close);
      l->kind = Kind::kSection;
      l->name = Trim(inner);
      return;
    }
    const size_t eq = raw.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = Trim(raw.substr(0, eq));
    if (key.empty()) return;
    l->kind = Kind::kKey;
    l->name = key;
    l->afterEq = l->begin + eq + 1;
    size_t v = eq + 1;
    while (v < raw.size() && (raw[v] == ' ' || raw[v] == '\t')) ++v;
    l->valueBegin = l->begin + v;
  }

  std::string text_;
  size_t bodyBegin_ = 0;  // after a byte order mark
  std::vector<Line> lines_;
  std::vector<Section> sections_;  // sections_[0] is the unnamed top, maybe empty
};

// ---- Files -------------------------------------------------------------------

// 0 or the errno of the failure (ENOENT: no such file).
int ReadAll(const std::string& path, std::string* out) {
  out->clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  char buf[16384];
  int err = 0;
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      out->append(buf, static_cast<size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      err = errno;
      break;
    }
  }
  close(fd);
  return err;
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string DirOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A settings file reached through a symbolic link is replaced where the link
// points, so the link survives the rename.
std::string ResolveLink(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string out(real);
  std::free(real);
  return out;
}

class FileLock {
 public:
  explicit FileLock(const std::string& path)
      : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);  // closing drops the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

// ---- Edits -------------------------------------------------------------------

// Names that would not read back as written are refused.
bool ValidSection(std::string_view s) { return s.find_first_of("\r\n") == std::string_view::npos; }

bool ValidKey(std::string_view k) {
  return !k.empty() && k.find_first_of("\r\n=") == std::string_view::npos && k.front() != '[' &&
         k.front() != ';';
}

std::string Splice(const std::string& text, size_t from, size_t to, const std::string& with) {
  std::string out;
  out.reserve(text.size() - (to - from) + with.size());
  out.append(text, 0, from);
  out += with;
  out.append(text, to, std::string::npos);
  return out;
}

// Inserts a whole line after the line ending at `at` (which may lack a break).
std::string InsertLine(const std::string& text, size_t at, const std::string& line, const std::string& eol) {
  const bool needBreak = at > 0 && text[at - 1] != '\n';
  return Splice(text, at, at, (needBreak ? eol : std::string()) + line + eol);
}

std::string Edited(const Ini& ini, std::string_view section, const char* key, const char* value) {
  const std::string& text = ini.text();
  const auto& lines = ini.lines();
  const Section* sec = ini.FindSection(section);

  if (!key) {  // remove every section of that name, header to next header
    std::string out;
    size_t copied = 0;
    for (const auto& s : ini.sections()) {
      if (s.header == SIZE_MAX || !SameName(s.name, section)) continue;
      const size_t from = lines[s.header].begin;
      const size_t to = s.last < lines.size() ? lines[s.last].begin : text.size();
      out.append(text, copied, from - copied);
      copied = to;
    }
    out.append(text, copied, std::string::npos);
    return out;
  }

  const std::string_view k = Trim(key);
  if (!value) {  // remove every line of that key in the section that reads
    if (!sec) return text;
    std::string out;
    size_t copied = 0;
    for (size_t i = sec->first; i < sec->last; ++i) {
      if (lines[i].kind != Kind::kKey || !SameName(lines[i].name, k)) continue;
      out.append(text, copied, lines[i].begin - copied);
      copied = lines[i].end;
    }
    out.append(text, copied, std::string::npos);
    return out;
  }

  const std::string eol = ini.Eol();
  const std::string newLine = std::string(k) + "=" + value;
  if (!sec) {  // new section at the end of the file
    std::string out = text;
    if (!out.empty() && out.back() != '\n') out += eol;
    return out + "[" + std::string(section) + "]" + eol + newLine + eol;
  }
  const size_t at = ini.FindKey(*sec, k);
  if (at != SIZE_MAX) {  // keep the key as written, replace only the value
    const Line& l = lines[at];
    // From just after '=': keeping the old blanks would grow a value that
    // starts with a blank by one blank on every write.
    return Splice(text, l.afterEq, l.contentEnd, value);
  }
  // New key after the section's last key, else right after its header.
  size_t after = SIZE_MAX;
  for (size_t i = sec->first; i < sec->last; ++i)
    if (lines[i].kind == Kind::kKey) after = i;
  if (after == SIZE_MAX) after = sec->header;
  if (after == SIZE_MAX) return Splice(text, ini.bodyBegin(), ini.bodyBegin(), newLine + eol);  // unnamed top
  return InsertLine(text, lines[after].end, newLine, eol);
}

std::atomic<unsigned> g_tempCounter{0};

}  // namespace

std::string ProfileGetString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& def) {
  std::string text;
  if (ReadAll(file, &text) != 0) return def;
  const Ini ini(std::move(text));
  const Section* s = ini.FindSection(Trim(section));
  if (!s) return def;
  const size_t line = ini.FindKey(*s, Trim(key));
  return line == SIZE_MAX ? def : ini.Value(line);
}

int32_t ProfileGetInt(const std::string& file, const std::string& section, const std::string& key,
                      int32_t def) {
  const std::string v = ProfileGetString(file, section, key, std::string());
  if (v.empty()) return def;
  size_t i = 0;
  bool negative = false;
  if (v[0] == '-' || v[0] == '+') {
    negative = v[0] == '-';
    ++i;
  }
  // Modulo 2^32 like the Windows reader, so an unsigned value written as
  // "4294967295" reads back as -1.
  uint32_t n = 0;
  for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) n = n * 10u + static_cast<uint32_t>(v[i] - '0');
  if (negative) n = 0u - n;
  return static_cast<int32_t>(n);
}

std::vector<std::string> ProfileSections(const std::string& file) {
  std::vector<std::string> out;
  std::string text;
  if (ReadAll(file, &text) != 0) return out;
  const Ini ini(std::move(text));
  for (const auto& s : ini.sections()) {
    if (s.header == SIZE_MAX) continue;
    if (ini.FindSection(s.name) == &s) out.emplace_back(s.name);
  }
  return out;
}

std::vector<std::string> ProfileKeys(const std::string& file, const std::string& section) {
  std::vector<std::string> out;
  std::string text;
  if (ReadAll(file, &text) != 0) return out;
  const Ini ini(std::move(text));
  const Section* s = ini.FindSection(Trim(section));
  if (!s) return out;
  for (size_t i = s->first; i < s->last; ++i) {
    const Line& l = ini.lines()[i];
    if (l.kind == Kind::kKey && ini.FindKey(*s, l.name) == i) out.emplace_back(l.name);
  }
  return out;
}

bool ProfileWriteString(const std::string& file, const std::string& section, const char* key,
                        const char* value) {
  const std::string_view sec = Trim(section);
  if (!ValidSection(sec)) return false;
  if (key && !ValidKey(Trim(key))) return false;
  if (value && std::string_view(value).find_first_of("\r\n") != std::string_view::npos) return false;

  const std::string path = ResolveLink(file);
  const FileLock lock(path + ".lock");
  if (!lock.held()) return false;
  std::string text;
  const int err = ReadAll(path, &text);
  if (err != 0 && err != ENOENT) return false;
  const bool existed = err == 0;
  if (!existed && !(key && value)) return true;  // nothing to remove
  const Ini ini(std::move(text));
  const std::string out = Edited(ini, sec, key, value);
  if (existed && out == ini.text()) return true;
  return WriteFileAtomic(path, out);
}

bool WriteFileAtomic(const std::string& path, const std::string& data) {
  struct stat st {};
  const bool existed = stat(path.c_str(), &st) == 0;
  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tmp = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(g_tempCounter++);
    fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data);
  if (ok && existed) ok = fchmod(fd, st.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(tmp.c_str());
    return false;
  }
  // Make the rename itself durable.
  const int dir = open(DirOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace plat
