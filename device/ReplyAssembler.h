#pragma once
// Turns the meter's byte stream into records by the model's framing (the
// KM360R's: a "?" is the probe's answer and throws away what came before it;
// a "$" ends a record). A NUL byte is kept as a blank, so a record never
// holds one.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "device/MeterModel.h"

class ReplyAssembler {
 public:
  // Replies longer than this without a record end are dropped: a meter (or a
  // line) sending garbage without "$" must not grow the buffer without bound.
  static constexpr size_t kCap = size_t{64} * 1024;

  explicit ReplyAssembler(const meter::Framing& framing) : m_framing(framing) {}

  enum class Step {
    None,         // every byte was kept (or dropped at the cap)
    ProbeAnswer,  // a "?": the meter is there
    Record,       // a "$" completed a record: TakeRecord()
  };

  // Takes the bytes of `bytes` up to the first "?" or "$" (all of them when
  // there is none) and leaves `bytes` with what follows. The meter's stream
  // is read this way, one received range after the other, so the bytes
  // between two markers are appended at once.
  Step Add(std::string_view& bytes) {
    const size_t marker = bytes.find_first_of(m_markers);
    Keep(bytes.substr(0, marker));
    if (marker == std::string_view::npos) {
      bytes = {};
      return Step::None;
    }
    const char c = bytes[marker];
    bytes.remove_prefix(marker + 1);
    // The buffer is emptied at every "?" and "$", and neither byte can be the
    // trail byte of a GBK character, so a marker byte is always a marker.
    if (c == m_framing.probeAnswer) {
      m_buffer.clear();
      return Step::ProbeAnswer;
    }
    m_buffer.push_back(c);
    // Copied out, so the buffer keeps its room for the next record.
    m_record.assign(m_buffer);
    m_buffer.clear();
    return Step::Record;
  }

  // The record the last Add completed; the assembler forgets it.
  std::string TakeRecord() { return std::move(m_record); }

  // Forgets a partly received reply (a new command wants its own answer).
  void Clear() { m_buffer.clear(); }

  // The bytes received since the last record end or probe answer.
  const std::string& Pending() const { return m_buffer; }

 private:
  const meter::Framing m_framing;
  const char m_markers[3] = {m_framing.probeAnswer, m_framing.recordEnd, '\0'};

  // Appends bytes that hold no marker, a NUL as a blank; the buffer is
  // emptied whenever it reaches the cap.
  void Keep(std::string_view bytes) {
    while (!bytes.empty()) {
      const size_t take = std::min(bytes.size(), kCap - m_buffer.size());
      const size_t from = m_buffer.size();
      m_buffer.append(bytes.substr(0, take));
      std::replace(m_buffer.begin() + static_cast<std::ptrdiff_t>(from), m_buffer.end(), '\0', ' ');
      if (m_buffer.size() >= kCap) m_buffer.clear();
      bytes.remove_prefix(take);
    }
  }

  std::string m_buffer;
  std::string m_record;
};
