#include "table/CompoundFile.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace compoundfile {

namespace {

constexpr size_t kSector = 512;
constexpr uint32_t kPerSector = kSector / 4;       // sector numbers per table sector
constexpr uint32_t kHeaderTableEntries = 109;      // table sectors listed in the header
constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;

void Put16(std::string& out, size_t at, uint16_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// One 128-byte directory entry.
void PutEntry(std::string& out, size_t at, std::string_view name, uint8_t type, uint32_t child,
              uint32_t start, uint32_t size) {
  for (size_t i = 0; i < name.size(); ++i) Put16(out, at + 2 * i, static_cast<uint8_t>(name[i]));
  Put16(out, at + 0x40, static_cast<uint16_t>(2 * (name.size() + 1)));
  out[at + 0x42] = static_cast<char>(type);
  out[at + 0x43] = 1;  // black: a tree of one node per level is balanced
  Put32(out, at + 0x44, kNoStream);
  Put32(out, at + 0x48, kNoStream);
  Put32(out, at + 0x4C, child);
  Put32(out, at + 0x74, start);
  Put32(out, at + 0x78, size);
}

void PutUnusedEntry(std::string& out, size_t at) {
  Put32(out, at + 0x44, kNoStream);
  Put32(out, at + 0x48, kNoStream);
  Put32(out, at + 0x4C, kNoStream);
}

}  // namespace

std::string Build(std::string_view name, std::string_view stream) {
  if (stream.size() < kMinStreamBytes) throw std::length_error("stream below the mini stream cutoff");
  if (stream.size() > 0xFFFFFFFFu - kSector || name.size() >= 32) {
    throw std::length_error("stream or name too long for a compound document");
  }
  const uint32_t streamSectors = static_cast<uint32_t>((stream.size() + kSector - 1) / kSector);
  const uint32_t dirSectors = 1;
  // The allocation table covers itself and its extension sectors too.
  uint32_t fatSectors = 0, difSectors = 0;
  for (;;) {
    const uint32_t total = streamSectors + dirSectors + fatSectors + difSectors;
    const uint32_t needFat = (total + kPerSector - 1) / kPerSector;
    const uint32_t needDif =
        needFat > kHeaderTableEntries ? (needFat - kHeaderTableEntries + kPerSector - 2) / (kPerSector - 1) : 0;
    if (needFat == fatSectors && needDif == difSectors) break;
    fatSectors = needFat;
    difSectors = needDif;
  }
  const uint32_t dirStart = streamSectors;
  const uint32_t fatStart = dirStart + dirSectors;
  const uint32_t difStart = fatStart + fatSectors;
  const uint32_t total = difStart + difSectors;

  std::string out((size_t{1} + total) * kSector, '\0');
  // Header.
  static constexpr unsigned char kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  for (size_t i = 0; i < sizeof kSignature; ++i) out[i] = static_cast<char>(kSignature[i]);
  Put16(out, 0x18, 0x003E);  // minor version
  Put16(out, 0x1A, 0x0003);  // major version 3: 512-byte sectors
  Put16(out, 0x1C, 0xFFFE);  // little-endian
  Put16(out, 0x1E, 9);       // sector size 2^9
  Put16(out, 0x20, 6);       // mini sector size 2^6
  Put32(out, 0x2C, fatSectors);
  Put32(out, 0x30, dirStart);
  Put32(out, 0x38, kMinStreamBytes);
  Put32(out, 0x3C, kEndOfChain);  // no mini allocation table
  Put32(out, 0x44, difSectors ? difStart : kEndOfChain);
  Put32(out, 0x48, difSectors);
  for (uint32_t i = 0; i < kHeaderTableEntries; ++i) {
    Put32(out, 0x4C + 4 * i, i < fatSectors ? fatStart + i : kFreeSect);
  }

  auto sectorAt = [&](uint32_t sector) { return (size_t{1} + sector) * kSector; };
  std::copy(stream.begin(), stream.end(), out.begin() + static_cast<std::ptrdiff_t>(sectorAt(0)));

  // Directory: the root entry and the stream below it.
  const size_t dir = sectorAt(dirStart);
  PutEntry(out, dir, "Root Entry", 5, 1, kEndOfChain, 0);
  PutEntry(out, dir + 128, name, 2, kNoStream, 0, static_cast<uint32_t>(stream.size()));
  PutUnusedEntry(out, dir + 256);
  PutUnusedEntry(out, dir + 384);

  // Allocation table.
  std::vector<uint32_t> fat(size_t{fatSectors} * kPerSector, kFreeSect);
  for (uint32_t s = 0; s + 1 < streamSectors; ++s) fat[s] = s + 1;
  fat[streamSectors - 1] = kEndOfChain;
  fat[dirStart] = kEndOfChain;
  for (uint32_t s = 0; s < fatSectors; ++s) fat[fatStart + s] = kFatSect;
  for (uint32_t s = 0; s < difSectors; ++s) fat[difStart + s] = kDifSect;
  for (size_t i = 0; i < fat.size(); ++i) Put32(out, sectorAt(fatStart) + 4 * i, fat[i]);

  // Extension sectors: the table sectors past the header's 109, then the next one.
  for (uint32_t d = 0; d < difSectors; ++d) {
    const size_t at = sectorAt(difStart + d);
    for (uint32_t i = 0; i < kPerSector - 1; ++i) {
      const uint32_t index = kHeaderTableEntries + d * (kPerSector - 1) + i;
      Put32(out, at + size_t{4} * i, index < fatSectors ? fatStart + index : kFreeSect);
    }
    Put32(out, at + size_t{4} * (kPerSector - 1), d + 1 < difSectors ? difStart + d + 1 : kEndOfChain);
  }
  return out;
}

}  // namespace compoundfile
