#include "fuzz/SeedRecords.h"

#include "sim/MeterRecords.h"

namespace seeds {

namespace {

meter::SentReading ReadingAt(int second, int wavelengthNm, double dbm) {
  meter::SentReading r;
  r.wavelengthNm = wavelengthNm;
  r.dbm = dbm;
  r.time.tm_year = 126, r.time.tm_mon = 11, r.time.tm_mday = 7, r.time.tm_hour = 14;
  r.time.tm_sec = second;
  return r;
}

}  // namespace

Records MeterRecords() {
  Records r;
  r.realTime = {meter::ReadingRecord("实时测量", ReadingAt(1, 1310, -19.09)),
                meter::ReadingRecord("实时测量", ReadingAt(2, 1550, -10.0)),
                meter::ReadingRecord("实时测量", ReadingAt(3, 850, -39.99))};
  r.history = {meter::ReadingRecord("历史记录 1", ReadingAt(4, 1490, -25.5)),
               meter::EmptySlotRecord("历史记录 2"),
               meter::ReadingRecord("AD值", ReadingAt(5, 1625, -31.2)), meter::HistoryEndRecord(3)};
  r.parameters = {meter::SentParameterRecord(1310, 1.234, {-10, -20, -30, -40, -50, -60, -70, -79.99}),
                  meter::SentParameterRecord(850, 0.5, {0, 0, 0, 0, 0, 0, 0, 0})};
  r.settings = {meter::WavelengthCodeListing(3), meter::WavelengthSettingReply(5, "波长设置", true),
                meter::WavelengthSettingReply(0, "校准", false), meter::SentSettingReply("时间设置", true),
                meter::SentSettingReply("时间设置", false), std::string(meter::kProbeAnswer)};
  return r;
}

}  // namespace seeds
