#include "printed_card_files.h"

#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sim {

namespace {

constexpr char kEsc = 0x1B;
constexpr char kLf = 0x0A;

// What follows ESC in a page item: the letter and its fixed count of
// characters ("X123", "Y390", "e22", "F1", "l" and a glyph code).
size_t ItemLength(char letter) {
  switch (letter) {
    case 'X':
    case 'Y': return 4;
    case 'e': return 3;
    case 'F':
    case 'l': return 2;
    default: return 1;
  }
}

// The text of a "PD:" command after its head of three numbers.
std::string PageText(const std::string& command) {
  size_t i = 3;  // past "PD:"
  for (int field = 0; field < 3 && i != std::string::npos; ++field) {
    i = command.find('/', i);
    if (i != std::string::npos) ++i;
  }
  return i == std::string::npos ? std::string() : command.substr(i);
}

void AppendTextLines(const std::string& text, std::string* out) {
  if (text.empty()) return;
  std::string line;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == kLf) {
      *out += "text " + line + "\n";
      line.clear();
    } else if (text[i] == kEsc) {
      i += i + 1 < text.size() ? ItemLength(text[i + 1]) : 0;
    } else {
      line += text[i];
    }
  }
}

bool WriteWhole(const std::string& path, const std::string& bytes, std::string* error) {
  const std::string temp = path + ".tmp";
  FILE* f = fopen(temp.c_str(), "wb");
  bool ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f) ok = fclose(f) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    *error = path + ": " + strerror(errno);
    unlink(temp.c_str());
  }
  return ok;
}

}  // namespace

void PrintedCardFiles::SetFolder(const std::string& dir) {
  dir_ = dir;
  count_ = 0;
}

bool PrintedCardFiles::Write(const PrintedCard& card, std::string* error) {
  if (!on()) return true;
  char name[32];
  snprintf(name, sizeof name, "/card-%03d", ++count_);
  const std::string base = dir_ + name;
  return WriteWhole(base + ".pbm", Pbm(card.width, card.rows), error) &&
         WriteWhole(base + ".txt", Text(card), error);
}

std::string PrintedCardFiles::Pbm(int width, const std::map<int, Bytes>& rows) {
  const int height = std::max(kCardRows, rows.empty() ? 0 : rows.rbegin()->first + 1);
  const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
  std::string out = "P4\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
  const size_t head = out.size();
  out.resize(head + rowBytes * static_cast<size_t>(height), '\0');
  for (const auto& [row, bytes] : rows) {
    if (row < 0) continue;
    const size_t n = std::min(rowBytes, bytes.size());
    std::memcpy(&out[head + static_cast<size_t>(row) * rowBytes], bytes.data(), n);
    // Dots past the width are not on the card.
    if (n == rowBytes && width % 8) out[head + (static_cast<size_t>(row) + 1) * rowBytes - 1] &=
        static_cast<char>(0xFF << (8 - width % 8));
  }
  return out;
}

std::string PrintedCardFiles::Text(const PrintedCard& card) {
  std::string kind = "-", background = "white", text;
  for (const std::string& c : card.commands) {
    if (c == "RV") background = "silver";
    // "MS:" pairs of key and value: "B" is the card kind.
    if (c.compare(0, 3, "MS:") == 0)
      for (size_t i = 3; i + 1 < c.size(); i += 2)
        if (c[i] == 'B') kind = c.substr(i + 1, 1);
    if (c.compare(0, 3, "PD:") == 0) AppendTextLines(PageText(c), &text);
  }
  // The print command is last: "PR=K" names the card kind for this card.
  if (!card.commands.empty() && card.commands.back().size() == 4 && card.commands.back()[2] == '=')
    kind = card.commands.back().substr(3);
  std::string out = "kind " + kind + "\nbackground " + background + "\n";
  for (size_t i = 0; i < card.tracks.size(); ++i) out += "track " + std::to_string(i + 1) + " " + card.tracks[i] + "\n";
  return out + text;
}

}  // namespace sim
