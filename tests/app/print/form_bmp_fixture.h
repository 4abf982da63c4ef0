// The bitmap window offscreen on a scratch settings file, with the device
// channel on the scripted library binding (port closed unless a test opens
// it) and scripted dialogs. Pictures are written into a scratch folder.
#pragma once
#include <QCoreApplication>
#include <QDir>
#include <QPointer>

#include <gtest/gtest.h>

#include "../channel/recording_view.h"
#include "core/device_channel.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "picture_files.h"
#include "print/form_bmp.h"
#include "support/fake_link_api.h"
#include "support/scripted_dialogs.h"
#include "temp_dir.h"

namespace quorel::testing {

class FormBmpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
    pics_ = dir_.file(QStringLiteral("pics")) + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(pics_));
  }
  void TearDown() override {
    delete form_.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void Put(const QString& key, const QString& value, const QString& section = QStringLiteral("BMPDown")) {
    WriteIni(section, key, value, mm().gIniPath);
  }
  QString Get(const QString& key, const QString& section = QStringLiteral("BMPDown")) {
    return ReadIni(section, key, mm().gIniPath);
  }
  // A picture file in the scratch folder; its full path.
  QString Picture(const QString& name, const QImage& img) {
    const QString path = pics_ + name;
    EXPECT_TRUE(WriteFile(path, BmpOf(img)));
    return path;
  }

  FormBMP& Open(QWidget* mainWindow = nullptr) {
    form_ = new FormBMP(channel_, mainWindow);
    return *form_;
  }
  FormBMP& form() { return *form_; }
  WidgetControls& ui() { return form_->ui(); }
  bool Checked(const QString& name, int index) { return ui().Value(name, index) == 1; }
  // The selected button of a two-button group, -1 for none.
  int Selected(const QString& name, int count = 2) {
    for (int i = 0; i < count; ++i)
      if (Checked(name, i)) return i;
    return -1;
  }

  TempDir dir_;
  QString pics_;
  ScriptedDialogs dialogs_;
  FakeLinkApi link_;
  RecordingView view_;
  DeviceChannel channel_{link_, view_};
  QPointer<FormBMP> form_;
};

}  // namespace quorel::testing
