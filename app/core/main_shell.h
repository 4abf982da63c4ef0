// The decisions of the main window's shell that need no widget: the status
// lamp's colour, the administrator check box, the layout switch and the
// keys the close sequence saves.
#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>

namespace quorel {

class FormControls;

// Window sizes in twips (15 to a pixel on the screens the layouts were made for).
constexpr int kTwipsPerPixel = 15;
constexpr int kCompactWidthTwips = 9600;
constexpr int kEnlargedWidthTwips = 12315;
constexpr int kFormHeightTwips = 8760;

// The lamp Label53 after Label25 changed: green when Label25 begins "90",
// else by the first letter of Label10: "B" yellow, "R" green, "A" red,
// anything else the button face.
uint32_t LampColor(const QString& label25, const QString& label10);

// The option controls shown only in the enlarged layout (the two LineCom2
// lines come with them).
const QStringList& ExtraOptionControls();

// ChkAdminiMode_Click: ticked switches administrator mode on and writes the
// marker into [Form] BRELLAN_G; unticked writes "brellan" and switches it off.
// The menus are left as they are.
void AdminModeClick(FormControls& ui);

// What a click on "FormEnlarge (Admin)" does.
enum class EnlargeAction {
  kCompact,          // back to the compact layout
  kEnlargeAndAdmin,  // enlarged, and the administrator box ticked
  kEnlarge,          // enlarged after the right password
};
// compactShown: the compact layout is on the screen and the window has not
// been resized by hand since. Asks the password when it must.
EnlargeAction DecideEnlarge(bool compactShown);

// The keys the close sequence writes: [Display] Left and Top (twips), and in
// [Form] CenVolt, PWETAutoChk, CustomCmd0..4 and ChkCardKind0..2.
void SaveWindowKeys(const FormControls& ui, int leftTwips, int topTwips);

}  // namespace quorel
