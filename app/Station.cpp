#include "app/Station.h"

#include <utility>

#include "device/SystemPorts.h"
#include "device/meters/Registry.h"

Station::Station(IRuntime& runtime, IPrompter& prompter, config::Settings settings, SessionTimings timings)
    : m_settings(std::move(settings)),
      m_texts(FrameTexts::For(m_settings.LanguageIndex())),
      m_channel(NewSerialPort()),
      m_table(m_texts, m_settings.language),
      m_service(runtime, prompter, m_session, m_table, m_graph, m_texts, m_settings.language),
      m_session(runtime, *m_channel, SystemPortList(), meters::StationModel(), m_service.SessionEvents(), timings) {}

Station::~Station() = default;
