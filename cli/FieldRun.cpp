#include "cli/FieldRun.h"

#include <cstdio>
#include <ctime>

namespace cli {

FieldRun::FieldRun(field::LiveFeed& feed, const Options& o, const std::string& language)
    : m_texts(field::FieldTexts::For(lang::Resolve(language))),
      m_columns{o.reference.has_value(), o.limits.has_value()},
      m_feed(feed) {
  m_feed.Values().SetReference(o.reference);
  // The limits judge the relative value when there is a reference, else the
  // reading at any wavelength.
  field::Limits limits;
  if (o.reference) {
    limits.relative = o.limits;
  } else {
    limits.anyWavelength = o.limits;
  }
  m_feed.Values().SetLimits(limits);
  m_feed.SetLogFailureListener([this](const std::string& reason) {
    // Told once; the rows go on being tried.
    if (!m_bTold) {
      std::fprintf(stderr, "%s%s (%s)\n", m_texts.logFailed.c_str(), m_strLogPath.c_str(), reason.c_str());
    }
    m_bTold = true;
  });
  m_feed.SetLogReopenedListener([this](const std::string& path) {
    std::fprintf(stderr, "%s%s\n", m_texts.logReopened.c_str(), path.c_str());
  });
}

FieldRun::~FieldRun() {
  // The feed outlives the run: it tells nothing to a run that is gone.
  m_feed.SetLogFailureListener(nullptr);
  m_feed.SetLogReopenedListener(nullptr);
}

int FieldRun::OpenLog(const Options& o) {
  if (!o.log) return kExitOk;
  m_strLogPath = *o.log;
  std::string error;
  field::LogRefusal refusal = field::LogRefusal::None;
  // Every column, empty where unset, as the window writes it: runs with other
  // options append to one file under one header.
  if (m_feed.StartLog(*o.log, field::kAllLogColumns, error, &refusal)) return kExitOk;
  std::fprintf(stderr, "%s%s (%s)\n", m_texts.logFailed.c_str(), o.log->c_str(), error.c_str());
  return refusal == field::LogRefusal::OtherHeader ? kExitUsage : kExitFile;
}

void FieldRun::Follow(MeterSession& s, TableOutput& output) {
  s.service.Feed().Subscribe([this](const feed::Event& event) {
    if (std::holds_alternative<feed::ReadStarted>(event)) {
      m_feed.Start();
    } else if (const auto* added = std::get_if<feed::Row>(&event)) {
      const int row = added->row;
      const field::Row& taken = m_feed.Take(added->measurement, std::time(nullptr));
      if (static_cast<int>(m_rows.size()) <= row) m_rows.resize(static_cast<size_t>(row) + 1);
      m_rows[static_cast<size_t>(row)] = field::AddedCells(taken, m_columns);
    }
  });
  std::vector<std::string> titles;
  if (m_columns.relative) titles.push_back(m_texts.colRelative);
  if (m_columns.result) titles.push_back(m_texts.colResult);
  if (titles.empty()) return;
  output.AddColumns(std::move(titles), [this](int row) {
    return row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(row)] : std::vector<std::string>();
  });
}

int FieldRun::Conclude(const Options& o, int status) {
  if (o.stats) std::fprintf(stderr, "%s\n", m_feed.Values().Stats().SummaryLine().c_str());
  if (status != kExitOk) return status;
  if (m_feed.LogFailed()) return kExitFile;
  return m_feed.Values().AnyFailed() ? kExitLimits : kExitOk;
}

}  // namespace cli
