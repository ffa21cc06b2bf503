#pragma once
// The owner of the data: one station is one meter's line and everything the
// program holds about it. It owns the serial channel, the reading session on
// it, the pages' data (the table's rows, the graph's points) and the meter
// service that drives them, built in one order and taken down in the reverse.
// It picks the meter model (device/meters/Registry.h) and hands it to the
// session, from which everything else that talks to the meter takes it.
// The main window, km360r-cli, the tests and the benchmarks each build one
// station over their own runtime and prompter; windows receive references to
// what they show and own no data.
#include <memory>

#include "app/MeterService.h"
#include "app/Prompter.h"
#include "common/FrameTexts.h"
#include "common/Runtime.h"
#include "common/Settings.h"
#include "device/ReadingSession.h"
#include "device/SerialPort.h"
#include "device/SessionTimings.h"
#include "graph/GraphPage.h"
#include "table/TablePage.h"

class Station {
 public:
  // The texts and the table's language come from `settings`; the session
  // scans the system's ports with `timings` for its poll and watchdogs.
  Station(IRuntime& runtime, IPrompter& prompter, config::Settings settings, SessionTimings timings = {});
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  const config::Settings& Settings() const { return m_settings; }
  const FrameTexts& Texts() const { return m_texts; }
  ISerialPort& Channel() { return *m_channel; }
  ReadingSession& Session() { return m_session; }
  TablePage& Table() { return m_table; }
  GraphPage& Graph() { return m_graph; }
  MeterService& Service() { return m_service; }
  const MeterService& Service() const { return m_service; }

 private:
  const config::Settings m_settings;
  const FrameTexts m_texts;
  // The line outlives the session, whose end stops its monitor.
  std::unique_ptr<ISerialPort> m_channel;
  TablePage m_table;
  GraphPage m_graph;
  // The service is built before the session it listens to and taken down
  // after it, so the session never reports to a service that is gone. Its
  // constructor only keeps the session's reference.
  MeterService m_service;
  ReadingSession m_session;
};
