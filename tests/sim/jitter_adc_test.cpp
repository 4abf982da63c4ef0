// The device's jitter gauge ("jt:" after "WR"/"VR", figures at their fixed
// reply places) and its A/D codes behind "!!s".
#include <gtest/gtest.h>

#include <string>

#include "device_state.h"
#include "jitter_gauge.h"

namespace sim {
namespace {

std::string Jt(JitterGauge& g, const std::string& param) {
  Answer a;
  EXPECT_TRUE(g.Handle("jt", param, &a));
  return a.status + std::string(a.data.begin(), a.data.end());
}

TEST(JitterGauge, FiguresFollowTheLastPassDirection) {
  JitterGauge g;
  std::string error;
  ASSERT_TRUE(g.Control({"jitter", "3", "ej", "330", "280", "305", "21.0", "400", "150", "NG"}, &error));
  EXPECT_EQ(error, "");
  Answer unused;
  EXPECT_FALSE(g.Handle("WR", "", &unused));
  // "Ajt" + status + data: the fields at characters 7-9, 12-14, 17-19,
  // 22-25, 29-31, 35-37 and 41-42 of the whole reply.
  const std::string ins = "Ajt" + Jt(g, ":3");
  EXPECT_EQ(ins, "Ajt90 312  298  305  12.5   400   150   OK");
  EXPECT_EQ(ins.substr(21, 4), "12.5");
  EXPECT_EQ(ins.substr(40, 2), "OK");
  EXPECT_FALSE(g.Handle("VR", "", &unused));
  EXPECT_EQ("Ajt" + Jt(g, ":3"), "Ajt90 330  280  305  21.0   400   150   NG");
  EXPECT_EQ(Jt(g, ":1").substr(0, 2), "90");
  EXPECT_EQ(Jt(g, ":4"), "14");
  EXPECT_TRUE(g.Control({"jitter", "1", "ej", "33", "280", "305", "21.0", "400", "150", "NG"}, &error));
  EXPECT_NE(error, "");
  EXPECT_FALSE(g.Control({"adc", "00"}, &error));
}

TEST(DeviceAdc, SensorCodesAsSet) {
  DeviceState s;
  EXPECT_EQ(s.Maintenance("s").data, "A8C4379B42FF");
  s.set_sensorFields("6667FCFDA0A00090");
  EXPECT_EQ(s.Maintenance("s").data, "6667FCFDA0A00090");
}

}  // namespace
}  // namespace sim
