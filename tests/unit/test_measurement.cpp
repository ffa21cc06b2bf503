// The meter model reads a measurement's numbers from the meter's own texts,
// which stay as written for the table.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/Gbk.h"
#include "device/MeterModel.h"

namespace {

struct Case {
  const char* log;
  const char* linear;
  const char* wavelength;
  std::optional<double> dBm;
  std::optional<double> linearValue;
  const char* unit;
  std::optional<int> nm;
  int plot;
};

}  // namespace

TEST(Measurement, NumbersComeFromTheTextsWhichStayAsWritten) {
  const Case cases[] = {
      {"-19.09", "12.34uW", "1310", -19.09, 12.34, "uW", 1310, -19},
      {"  -7.5000", " 0.178mW", "850 ", -7.5, 0.178, "mW", 850, -7},
      {"+1.20", "1.318mW", "1550", 1.2, 1.318, "mW", 1550, 1},
      {"--.--", "LOW", "1490", std::nullopt, std::nullopt, "", 1490, 0},
      {"-45.00", "31.6nW", "13.5", -45.0, 31.6, "nW", std::nullopt, -45},
  };
  for (const Case& c : cases) {
    const std::string record = gbk::FromUtf8(std::string("实时数据\r\n波长    : ") + c.wavelength +
                                             "nm\r\n线性功率: " + c.linear + "\r\n对数功率: " + c.log +
                                             "dBm\r\n时间    : 12/05/06 10:20:30\r\n$");
    const meter::Reply reply(record);
    const auto m = meter::kKm360r.measurement(reply);
    ASSERT_TRUE(m) << c.log;
    EXPECT_EQ(m->logPower, c.log);
    EXPECT_EQ(m->wavelength, c.wavelength);
    EXPECT_EQ(m->meterTime, "12/05/06 10:20:30");
    EXPECT_EQ(m->dBm, c.dBm) << c.log;
    EXPECT_EQ(m->linear, c.linearValue) << c.linear;
    EXPECT_EQ(m->linearUnit, c.unit) << c.linear;
    EXPECT_EQ(m->wavelengthNm, c.nm) << c.wavelength;
    // The graph plots the leading integer of the six bytes behind the label.
    EXPECT_EQ(m->plotDbm, c.plot) << c.log;
    EXPECT_EQ(m->plotDbm, meter::PlotDbmOf(reply)) << c.log;
  }
  EXPECT_FALSE(meter::kKm360r.measurement(meter::Reply(gbk::FromUtf8("历史记录调阅结束$"))));
}
