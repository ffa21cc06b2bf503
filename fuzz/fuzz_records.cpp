// One record, whatever its bytes: every layout it can be read by, the value
// the graph takes from it, and the table page showing it as each data kind.
#include <array>
#include <string>

#include "device/meters/km360r/Km360r.h"
#include "fuzz/FuzzTable.h"
#include "graph/GraphPage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const meter::Record record =
      meter::ReadRecord(meters::km360r::Model(), std::string(reinterpret_cast<const char*>(data), size));
  const std::string& text = record.Text();
  const auto inside = [&](std::string_view field) {
    if (field.empty()) return;
    if (field.data() < text.data() || field.data() + field.size() > text.data() + text.size()) {
      __builtin_trap();  // a field must be a view into the record
    }
  };
  if (const auto& r = record.AsMeasurement()) {
    inside(r->wavelength), inside(r->linearPower), inside(r->logPower), inside(r->meterTime);
    inside(r->linearUnit);
    (void)record.IsEmptySlot();
  }
  if (const auto& p = record.AsParameters()) {
    inside(p->wavelength), inside(p->wavelengthCalibration);
    for (std::string_view range : p->ranges) inside(range);
  }
  // A copy shares the parts, whose views stay inside the text.
  const meter::Record copy = record;
  if (copy.AsMeasurement() && copy.AsMeasurement()->wavelength.data() != record.AsMeasurement()->wavelength.data()) {
    __builtin_trap();
  }

  GraphPage graph;
  graph.Initialise("1");
  graph.StartLive();
  graph.OnGraphValue(record.PlotDbm());
  graph.OnPaint(true);

  static constexpr std::array kKinds = {
      DataKind::RealTime, DataKind::History,     DataKind::WavelengthCodes, DataKind::Parameters,
      DataKind::Clock,    DataKind::Wavelength,  DataKind::Calibration,     DataKind::Mode};
  TablePage page = fuzz::MakePage(size % 2 == 0);
  int rowCount = 0;
  for (DataKind kind : kKinds) {
    page.ApplyLayout(kind == DataKind::Parameters ? Layout::Parameters : Layout::Measurement);
    page.ShowReply(record, kind, rowCount);
  }
  return 0;
}
