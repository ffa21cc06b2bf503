// The meter's byte stream in ranges of any length, as the serial channel
// hands it over: every completed record is shown as the data kind the first
// byte picks, as the meter service shows it, and the records do not depend on
// where the ranges were cut.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <string>
#include <string_view>

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
  ReplyAssembler whole(model.framing);  // takes the stream in one range
  std::string_view wholeRest(reinterpret_cast<const char*>(data + 1), size - 1);
  int rowCount = 0;
  FuzzedDataProvider provider(data + 1, size - 1);
  while (provider.remaining_bytes() > 0) {
    const std::string piece = provider.ConsumeBytesAsString(provider.ConsumeIntegralInRange<size_t>(1, 300));
    std::string_view rest = piece;
    while (!rest.empty()) {
      switch (assembler.Add(rest)) {
        case ReplyAssembler::Step::Record: {
          std::string record = assembler.TakeRecord();
          // The ranges are cut from the front of the stream, so the stream
          // taken whole holds the same record next.
          ReplyAssembler::Step step = ReplyAssembler::Step::None;
          while (step != ReplyAssembler::Step::Record && !wholeRest.empty()) step = whole.Add(wholeRest);
          if (step != ReplyAssembler::Step::Record || whole.TakeRecord() != record) __builtin_trap();
          page.ShowReply(meter::ReadRecord(model, std::move(record)), kind, rowCount);
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
  }
  return 0;
}
