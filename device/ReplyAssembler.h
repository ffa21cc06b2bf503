#pragma once
// Turns the meter's byte stream into records by the model's framing (the
// KM360R's: a "?" is the probe's answer and throws away what came before it;
// a "$" ends a record). A NUL byte is kept as a blank, so a record never
// holds one.
#include <cstddef>
#include <string>

#include "device/MeterModel.h"

class ReplyAssembler {
 public:
  // Replies longer than this without a record end are dropped: a meter (or a
  // line) sending garbage without "$" must not grow the buffer without bound.
  static constexpr size_t kCap = size_t{64} * 1024;

  explicit ReplyAssembler(const meter::Framing& framing) : m_framing(framing) {}

  enum class Step {
    None,         // the byte was kept (or dropped at the cap)
    ProbeAnswer,  // a "?": the meter is there
    Record,       // a "$" completed a record: TakeRecord()
  };

  // Called for every byte the meter sends, so it is kept inline.
  Step Add(unsigned char byte) {
    const char c = byte == 0 ? ' ' : static_cast<char>(byte);
    m_buffer.push_back(c);
    // The buffer is emptied at every probe answer and record end, and neither
    // byte can be the trail byte of a GBK character (a framing byte is ASCII),
    // so the new byte is the only place either can be.
    if (c == m_framing.probeAnswer) {
      m_buffer.clear();
      return Step::ProbeAnswer;
    }
    if (c != m_framing.recordEnd) {
      if (m_buffer.size() >= kCap) m_buffer.clear();
      return Step::None;
    }
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
  std::string m_buffer;
  std::string m_record;
};
