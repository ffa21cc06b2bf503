// config.ini as anybody may have edited it: any bytes, read for any section
// and key, and the language rule on whatever value comes out.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "common/IniReader.h"
#include "common/Language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  // Most inputs ask for the real setting; some for any section and key.
  const bool realKey = in.ConsumeBool();
  std::string section = in.ConsumeRandomLengthString(16);
  std::string key = in.ConsumeRandomLengthString(16);
  if (realKey) section = "config", key = "language";
  const std::string content = in.ConsumeRemainingBytesAsString();

  // In memory where the system offers it: a disk file per input is slow.
  static const std::string path =
      std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/km360r_fuzz_config_" +
      std::to_string(::getpid()) + ".ini";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  const std::string value = CIniReader(path).GetValue(section, key, "fallback");
  (void)lang::Resolve(value);
  return 0;
}
