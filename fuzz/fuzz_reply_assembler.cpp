// The meter's byte stream, one byte at a time, as the serial channel hands it
// over: every completed record is shown as the data kind the first byte picks,
// as the frame logic shows it.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>

#include "device/ReplyAssembler.h"
#include "device/meters/km360r/Km360r.h"
#include "fuzz/FuzzTable.h"

namespace {

constexpr std::array kKinds = {DataKind::RealTime,    DataKind::History, DataKind::WavelengthCodes,
                               DataKind::Parameters,  DataKind::Clock,   DataKind::Wavelength,
                               DataKind::Calibration, DataKind::Mode,    DataKind::Nothing};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const DataKind kind = kKinds[data[0] % kKinds.size()];
  const bool chinese = data[0] & 0x80;
  TablePage page = fuzz::MakePage(chinese);
  page.ApplyLayout(kind == DataKind::Parameters ? Layout::Parameters : Layout::Measurement);
  const meter::Model& model = meters::km360r::Model();
  ReplyAssembler assembler(model.framing);
  int rowCount = 0;
  for (size_t i = 1; i < size; ++i) {
    switch (assembler.Add(data[i])) {
      case ReplyAssembler::Step::Record: {
        page.ShowReply(meter::ReadRecord(model, assembler.TakeRecord()), kind, rowCount);
        break;
      }
      case ReplyAssembler::Step::ProbeAnswer:
      case ReplyAssembler::Step::None:
        break;
    }
    // A reply never holds a NUL byte, a "?" or a "$" while it is pending.
    if (assembler.Pending().find_first_of(std::string_view("\0?$", 3)) != std::string::npos) {
      __builtin_trap();
    }
  }
  return 0;
}
