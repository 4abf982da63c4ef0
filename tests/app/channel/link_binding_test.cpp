// The binding of the library by name: a missing file or function is a
// failure of the program's side (never a crash), slots are taken byte for
// byte and freed, and the channel treats an unbound port as not open.
#include <dlfcn.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "channel_fixture.h"
#include "core/link_api.h"

namespace quorel::testing {
namespace {

TEST(LibraryBinding, AMissingFileAnswersEveryCallAsUnbound) {
  const std::unique_ptr<LinkApi> link = MakeLibraryLink(QStringLiteral("/nonexistent/libvantor.so"));
  int reason = -1;
  EXPECT_EQ(link->OpenPort(3, 9600, "8", "N", &reason), kLinkUnbound);
  EXPECT_EQ(reason, 0);
  EXPECT_EQ(link->SendCommand(3, 1000, 1, "VS", QByteArray(), 0), kLinkUnbound);
  QByteArray code("old"), status("old"), data("old");
  EXPECT_EQ(link->ReceiveResponse(3, 0, 1000, 1, &code, &status, &data), kLinkUnbound);
  EXPECT_TRUE(code.isEmpty() && status.isEmpty() && data.isEmpty());
  int16_t n = 7;
  QByteArray report("old");
  EXPECT_EQ(link->ReceiveBinaryData(3, 100, 1, &report, 16, &n), kLinkUnbound);
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(report.isEmpty());
  EXPECT_EQ(link->GetPortNames(&data, &n), kLinkUnbound);
  EXPECT_EQ(link->EventFd(), -1);
  EXPECT_EQ(link->DispatchEvents(), 0);
}

TEST(LibraryBinding, EachFunctionIsBoundByItselfAndSlotsAreTakenWholeAndFreed) {
  const std::unique_ptr<LinkApi> link = MakeLibraryLink(QStringLiteral(QUOREL_STUB_LIBRARY));
  int reason = -1;
  EXPECT_EQ(link->OpenPort(3, 9600, "8", "E", &reason), 0);
  EXPECT_EQ(reason, 0);
  // A refused open brings the library's reason along.
  EXPECT_EQ(link->OpenPort(4, 9600, "8", "E", &reason), 101);
  EXPECT_EQ(reason, EACCES);
  EXPECT_EQ(link->SendCommand(3, 1000, 1, "VS", QByteArray(), 0), kLinkUnbound);  // not in this file
  QByteArray code, status, data;
  EXPECT_EQ(link->ReceiveResponse(3, 0, 1000, 1, &code, &status, &data), 0);
  EXPECT_EQ(code, QByteArray("VS"));
  EXPECT_EQ(status, QByteArray("90"));
  EXPECT_EQ(data, QByteArray("\x80\xFF\0x", 4));
  void* stub = dlopen(QUOREL_STUB_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(stub, nullptr);
  auto live = reinterpret_cast<int (*)()>(dlsym(stub, "stubLiveSlots"));
  ASSERT_NE(live, nullptr);
  EXPECT_EQ(live(), 0);
  dlclose(stub);
}

class UnboundChannel : public ::testing::Test {
 protected:
  void SetUp() override { DefaultChannelSettings(); }
  HookedDialogs dialogs_;
  RecordingView view_;
};

TEST_F(UnboundChannel, WithoutTheLibraryThePortNeverCountsAsOpen) {
  const std::unique_ptr<LinkApi> link = MakeLibraryLink(QStringLiteral("/nonexistent/libvantor.so"));
  DeviceChannel channel(*link, view_);
  channel.commIni();
  EXPECT_FALSE(mm().gPortOpen);
  EXPECT_TRUE(dialogs_.recorded().empty());
  mm().gSendCommand = QStringLiteral("VS");
  EXPECT_EQ(channel.comu(), ComuOutcome::kPortClosed);
}

TEST_F(UnboundChannel, AMissingSendFunctionClosesThePortInsteadOfWaiting) {
  const std::unique_ptr<LinkApi> link = MakeLibraryLink(QStringLiteral(QUOREL_STUB_LIBRARY));
  DeviceChannel channel(*link, view_);
  channel.commIni();
  ASSERT_TRUE(mm().gPortOpen);
  mm().gSendCommand = QStringLiteral("VS");
  EXPECT_EQ(channel.comu(), ComuOutcome::kPortClosed);
  EXPECT_FALSE(mm().gPortOpen);
}

}  // namespace
}  // namespace quorel::testing
