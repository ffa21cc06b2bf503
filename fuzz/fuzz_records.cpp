// One record, whatever its bytes: every layout it can be read by, the value
// the graph takes from it, and the table page showing it as each data kind.
#include <array>
#include <string>

#include "device/Reply.h"
#include "fuzz/FuzzTable.h"
#include "graph/GraphPage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const meter::Reply reply(std::string(reinterpret_cast<const char*>(data), size));
  const std::string& text = reply.Text();
  const auto inside = [&](std::string_view field) {
    if (field.empty()) return;
    if (field.data() < text.data() || field.data() + field.size() > text.data() + text.size()) {
      __builtin_trap();  // a field must be a view into the record
    }
  };
  if (const auto r = reply.AsReading()) {
    inside(r->wavelength), inside(r->linearPower), inside(r->logPower), inside(r->meterTime);
    (void)r->IsEmptySlot();
  }
  if (const auto p = reply.AsParameters()) {
    inside(p->wavelength), inside(p->wavelengthCalibration);
    for (std::string_view range : p->ranges) inside(range);
  }
  (void)reply.AsSetting();
  (void)reply.Completes();
  (void)reply.EndsHistory();

  const std::string_view value = reply.GraphValue();
  inside(value);
  GraphPage graph;
  graph.Initialise("1");
  graph.StartLive();
  graph.OnGraphUpdate(std::string(value));
  graph.OnPaint(true);

  static constexpr std::array kKinds = {
      DataKind::RealTime, DataKind::History,     DataKind::WavelengthCodes, DataKind::Parameters,
      DataKind::Clock,    DataKind::Wavelength,  DataKind::Calibration,     DataKind::Mode};
  TablePage page = fuzz::MakePage(size % 2 == 0);
  int rowCount = 0;
  for (DataKind kind : kKinds) {
    page.ApplyLayout(kind == DataKind::Parameters ? Layout::Parameters : Layout::Measurement);
    page.ShowReply(reply, kind, rowCount);
  }
  return 0;
}
