#include "print/bmp_shell_rules.h"

#include <algorithm>

namespace quorel {

int CharacterCount(const QString& text) {
  int n = 0;
  for (int i = 0; i < text.size(); ++i, ++n) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  }
  return n;
}

QString CutMessageLine(const QString& text) {
  int i = 0;
  for (int n = 0; n < kMessageLineMax && i < text.size(); ++n, ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  }
  return text.left(i);
}

QStringList CardKindItems() {
  // Codes 0x30 to 0x3F; the stocks are named by material and use.
  static const char* const kStocks[16] = {
      "PET 標準",   "PET 高感度", "PET 高耐久", "PET 薄手",   "PET 厚手",
      "PET 白",     "PET 透明",   "PET 磁気付", "PET 磁気無", "PET 再生材",
      "PET 特殊",   "予備",       "PVC 標準",   "PVC 高感度", "PET 低印字エネルギー用",
      "PET 高印字エネルギー用"};
  QStringList items;
  for (int i = 0; i < 16; ++i)
    items << QString(QChar(0x30 + i)) + QStringLiteral(": ") + QString::fromUtf8(kStocks[i]);
  return items;
}

QString CardKindCode(const QString& itemText) { return itemText.left(1); }

const std::array<int, 14>& ZoomSteps() {
  static const std::array<int, 14> steps = {10, 25, 33, 50, 66, 75, 80, 100, 120, 150, 200, 250, 300, 400};
  return steps;
}

QStringList BrightnessTexts() {
  return {QStringLiteral("-50"), QStringLiteral("-40"), QStringLiteral("-30"), QStringLiteral("-20"),
          QStringLiteral("-10"), QStringLiteral("  0"), QStringLiteral("+10"), QStringLiteral("+20"),
          QStringLiteral("+30"), QStringLiteral("+40"), QStringLiteral("+50")};
}

int BrightnessAt(int index) { return (std::clamp(index, 0, 10) - 5) * 10; }

QStringList RamAreaItems() {
  // Areas 1 to 14, written "1" to "9" and then ":" to ">".
  QStringList items;
  for (int i = 1; i <= 14; ++i) items << QString(QChar(0x30 + i));
  return items;
}

const QStringList& JobControlNames() {
  static const QStringList names = {
      QStringLiteral("CmdFileRead"), QStringLiteral("CmdBMPFileDisp"),     QStringLiteral("CmdCilpDisp"),
      QStringLiteral("CmdBMPTrans"), QStringLiteral("CmdCIPR"),            QStringLiteral("MenuFileH8Assembla"),
      QStringLiteral("CmdSaveRAM"),  QStringLiteral("CmdLoadRAM"),         QStringLiteral("bmpDisp"),
      QStringLiteral("bmpDownload"), QStringLiteral("cardPrint")};
  return names;
}

int PathCaretPosition(const QString& text) {
  return static_cast<int>(std::min<qsizetype>(text.trimmed().size() + 1, text.size()));
}

QString PictureDialogTitle() { return QStringLiteral("ファイル選択"); }

QString PictureDialogFilter() {
  return QStringLiteral("BitMap file(*.bmp) (*.BMP *.bmp);;All file(*.*) (*)");
}

}  // namespace quorel
