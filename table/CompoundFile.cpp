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

namespace {

struct Layout {
  uint32_t streamSectors = 0;
  uint32_t fatSectors = 0;
  uint32_t difSectors = 0;
  uint32_t dirStart = 0, fatStart = 0, difStart = 0, total = 0;
};

Layout LayoutFor(size_t streamBytes) {
  Layout l;
  l.streamSectors = static_cast<uint32_t>((streamBytes + kSector - 1) / kSector);
  const uint32_t dirSectors = 1;
  // The allocation table covers itself and its extension sectors too.
  for (;;) {
    const uint32_t total = l.streamSectors + dirSectors + l.fatSectors + l.difSectors;
    const uint32_t needFat = (total + kPerSector - 1) / kPerSector;
    const uint32_t needDif =
        needFat > kHeaderTableEntries ? (needFat - kHeaderTableEntries + kPerSector - 2) / (kPerSector - 1) : 0;
    if (needFat == l.fatSectors && needDif == l.difSectors) break;
    l.fatSectors = needFat;
    l.difSectors = needDif;
  }
  l.dirStart = l.streamSectors;
  l.fatStart = l.dirStart + dirSectors;
  l.difStart = l.fatStart + l.fatSectors;
  l.total = l.difStart + l.difSectors;
  return l;
}

void CheckSizes(std::string_view name, size_t streamSize) {
  if (streamSize < kMinStreamBytes) throw std::length_error("stream below the mini stream cutoff");
  if (streamSize > 0xFFFFFFFFu - kSector || name.size() >= 32) {
    throw std::length_error("stream or name too long for a compound document");
  }
}

size_t SectorAt(uint32_t sector) { return (size_t{1} + sector) * kSector; }

}  // namespace

std::string Build(std::string_view name, std::string_view stream) {
  std::string tail = Tail(name, stream.size());
  std::string out = Header(stream.size());
  out.reserve(out.size() + stream.size() + tail.size());
  out += stream;
  out += tail;
  return out;
}

std::string Header(size_t streamSize) {
  static_assert(kHeaderBytes == kSector);
  CheckSizes("", streamSize);
  const Layout l = LayoutFor(streamSize);
  std::string out(kSector, '\0');
  static constexpr unsigned char kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  for (size_t i = 0; i < sizeof kSignature; ++i) out[i] = static_cast<char>(kSignature[i]);
  Put16(out, 0x18, 0x003E);  // minor version
  Put16(out, 0x1A, 0x0003);  // major version 3: 512-byte sectors
  Put16(out, 0x1C, 0xFFFE);  // little-endian
  Put16(out, 0x1E, 9);       // sector size 2^9
  Put16(out, 0x20, 6);       // mini sector size 2^6
  Put32(out, 0x2C, l.fatSectors);
  Put32(out, 0x30, l.dirStart);
  Put32(out, 0x38, kMinStreamBytes);
  Put32(out, 0x3C, kEndOfChain);  // no mini allocation table
  Put32(out, 0x44, l.difSectors ? l.difStart : kEndOfChain);
  Put32(out, 0x48, l.difSectors);
  for (uint32_t i = 0; i < kHeaderTableEntries; ++i) {
    Put32(out, 0x4C + 4 * i, i < l.fatSectors ? l.fatStart + i : kFreeSect);
  }
  return out;
}

std::string Tail(std::string_view name, size_t streamSize) {
  CheckSizes(name, streamSize);
  const Layout l = LayoutFor(streamSize);
  const uint32_t streamSectors = l.streamSectors, fatSectors = l.fatSectors, difSectors = l.difSectors;
  const uint32_t dirStart = l.dirStart, fatStart = l.fatStart, difStart = l.difStart;
  // Offsets in the whole document, kept as the tables count them; the tail
  // starts where the stream ends.
  const size_t begin = kSector + streamSize;
  std::string out(SectorAt(l.total) - begin, '\0');
  auto at = [&](size_t documentOffset) { return documentOffset - begin; };

  // Directory: the root entry and the stream below it.
  const size_t dir = at(SectorAt(dirStart));
  PutEntry(out, dir, "Root Entry", 5, 1, kEndOfChain, 0);
  PutEntry(out, dir + 128, name, 2, kNoStream, 0, static_cast<uint32_t>(streamSize));
  PutUnusedEntry(out, dir + 256);
  PutUnusedEntry(out, dir + 384);

  // Allocation table.
  std::vector<uint32_t> fat(size_t{fatSectors} * kPerSector, kFreeSect);
  for (uint32_t s = 0; s + 1 < streamSectors; ++s) fat[s] = s + 1;
  fat[streamSectors - 1] = kEndOfChain;
  fat[dirStart] = kEndOfChain;
  for (uint32_t s = 0; s < fatSectors; ++s) fat[fatStart + s] = kFatSect;
  for (uint32_t s = 0; s < difSectors; ++s) fat[difStart + s] = kDifSect;
  for (size_t i = 0; i < fat.size(); ++i) Put32(out, at(SectorAt(fatStart)) + 4 * i, fat[i]);

  // Extension sectors: the table sectors past the header's 109, then the next one.
  for (uint32_t d = 0; d < difSectors; ++d) {
    const size_t sector = at(SectorAt(difStart + d));
    for (uint32_t i = 0; i < kPerSector - 1; ++i) {
      const uint32_t index = kHeaderTableEntries + d * (kPerSector - 1) + i;
      Put32(out, sector + size_t{4} * i, index < fatSectors ? fatStart + index : kFreeSect);
    }
    Put32(out, sector + size_t{4} * (kPerSector - 1), d + 1 < difSectors ? difStart + d + 1 : kEndOfChain);
  }
  return out;
}

}  // namespace compoundfile
