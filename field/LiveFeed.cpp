#include "field/LiveFeed.h"

namespace field {

const Row& LiveFeed::Take(const meter::Measurement& measurement, std::time_t when) {
  const Row& row = m_readout.Add(measurement);
  if (!m_log) return row;
  const bool written = m_log->Append(row, when);
  if (m_log->TakeReopened() && m_logReopened) m_logReopened(m_log->Path());
  if (m_log && !written) {
    m_bLogFailed = true;
    // A copy: the listener may stop the log, and its error with it.
    const std::string reason = m_log->Error();
    if (m_logFailed) m_logFailed(reason);
  }
  return row;
}

bool LiveFeed::StartLog(const std::string& path, LogColumns columns, std::string& error, LogRefusal* refusal) {
  m_log.reset();
  m_log = LiveLog::Open(path, columns, error, refusal);
  return m_log.has_value();
}

const std::string& LiveFeed::LogPath() const {
  static const std::string kNone;
  return m_log ? m_log->Path() : kNone;
}

}  // namespace field
