#include "cli/SettingsRun.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>

#include "cli/StopSignals.h"
#include "cli/TableOutput.h"
#include "common/Gbk.h"
#include "settings/SettingsCommands.h"
#include "common/LocalTime.h"

namespace cli {

namespace {

// How long the meter may take to answer a setting, or the calibration's
// question for the current wavelength.
constexpr auto kSettingWait = std::chrono::seconds(5);

settings::ClockFields Now() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = localclock::At(now).fields;
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

DataKind KindOf(const std::string& command) {
  if (command == "set-clock") return DataKind::Clock;
  if (command == "set-wavelength") return DataKind::Wavelength;
  if (command == "calibrate") return DataKind::Calibration;
  return DataKind::Mode;
}

// One line of the meter's text for a message: GBK to UTF-8, record ends and
// line breaks dropped.
std::string OneLine(const std::string& record) {
  std::string line;
  for (char c : record) {
    if (c == '\r' || c == '$') continue;
    line += c == '\n' ? ' ' : c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return gbk::ToUtf8(line);
}

class SettingRun {
 public:
  SettingRun(MeterSession& s, const Options& o) : m_s(s), m_o(o) {}

  int Run() {
    m_s.onReply = [this](const meter::Record& record) { OnReply(record); };
    m_s.onDone = [this](meter::Done done) {
      if (done == meter::Done::ListingEnd) m_bListingEnded = true;
    };
    m_s.service.SetWavelengthListener([this] { m_bCurrentKnown = true; });
    // The confirmation box of the table page is the success text this
    // command prints on standard output, and reset's question is answered by
    // --yes; every other box is a message.
    const std::string confirmation = m_s.table.m_strSetOk;
    m_s.host.SetBoxSink([confirmation](const LoopHost::BoxRecord& box) {
      if (box.text == confirmation || box.buttons == BoxButtons::YesNo) return;
      std::fprintf(stderr, "%s\n", box.text.c_str());
      std::fflush(stderr);
    });

    if (m_o.command == "reset") {
      m_s.host.SetYesNoAnswer(BoxAnswer::Yes);  // --yes
      m_s.service.OnReset();
      MarkSentWhenWritten();
    } else {
      m_s.host.SetSettingsDialog([this](DataKind) { return AnswerDialog(); });
      m_s.service.OnSettingsCommand(KindOf(m_o.command));
      // The queued settings count from their own write on.
      if (m_nDialogs > 0 && (m_o.command == "set-wavelength" || m_o.command == "set-mode")) MarkSentWhenWritten();
      if (m_o.command == "calibrate" && !Calibrate()) return Silent();
    }
    m_s.MarkCommandSent();
    m_s.RunUntil([this] {
      if (m_bSucceeded || m_bRefused || !m_s.service.Connected()) return true;
      return m_s.SinceLastRecord() >= kSettingWait;
    });
    m_s.Drain();  // the page takes the answer (the kind goes back to nothing)
    if (m_bSucceeded) {
      StandardOutput().Write(m_s.table.m_strSetOk + "\n");
      return kExitOk;
    }
    if (m_bRefused) {
      std::fprintf(stderr, "km360r-cli: the meter refused the setting: %s\n", m_strRefusal.c_str());
      return kExitMeter;
    }
    return Silent();
  }

 private:
  // The settings dialog, answered from the arguments. Set clock runs again
  // when the meter refuses the clock; that refusal ends the run instead.
  std::optional<settings::Choice> AnswerDialog() {
    if (m_nDialogs++ > 0) return std::nullopt;
    if (m_o.command == "set-clock") {
      m_bSent = true;  // written at once
      return m_o.time ? *settings::ParseClockTime(*m_o.time) : Now();
    }
    if (m_o.command == "set-wavelength") {
      return settings::WavelengthChoice{std::stoi(m_o.operands[0])};
    }
    if (m_o.command == "set-mode") return settings::ModeChoice{m_o.operands[0] == "reference"};
    // Calibration: like the dialog, ask the meter for its wavelength first.
    m_s.service.PostCommand(std::string(m_s.service.MeterModel().commands.wavelengthCodes));
    return std::nullopt;
  }

  // Waits for the current wavelength, prints it, and sends the calibration
  // of it. False when the meter named none of its wavelengths:
  // nothing is sent then.
  bool Calibrate() {
    m_s.MarkCommandSent();
    m_s.RunUntil([this] {
      if (m_bListingEnded || !m_s.service.Connected()) return true;
      if (m_bCurrentKnown) return m_s.SinceLastRecord() >= kListingStall;
      return m_s.SinceLastRecord() >= kSettingWait;
    });
    m_s.Drain();  // the page takes the listing and stores the wavelength
    if (!m_bCurrentKnown || !m_s.service.Connected() || StopSignal()) return false;
    const std::string& current = m_s.service.CurrentWavelength();
    const std::optional<int> nm = m_s.service.MeterModel().settings.currentWavelengthNm(current);
    if (!nm) {
      // The meter would take a calibration for no wavelength of its own.
      std::fprintf(stderr,
                   "km360r-cli: the meter named no wavelength it has (\"%s\"); nothing was sent\n",
                   gbk::ToUtf8(current).c_str());
      m_bUnknownWavelength = true;
      return false;
    }
    StandardOutput().Write(gbk::ToUtf8(current) + "\n");
    const settings::CalibrationValue value = *settings::ParseCalibrationValue(m_o.operands[0]);
    m_s.service.SendSetting(settings::CalibrationChoice{*nm, value});
    MarkSentWhenWritten();
    return true;
  }

  // Posted behind the command's own write, so that only records taken after
  // the command went out count as its answer.
  void MarkSentWhenWritten() {
    m_s.loop.Post([this] { m_bSent = true; });
  }

  // Only records after the command went out can answer it; a record that is
  // no answer (a reading, the current wavelength on its own) is passed over.
  void OnReply(const meter::Record& record) {
    if (!m_bSent || m_bSucceeded || m_bRefused) return;
    switch (record.SettingAnswer()) {
      case meter::Answer::None: return;
      case meter::Answer::Taken: m_bSucceeded = true; return;
      case meter::Answer::Refused:
        m_bRefused = true;
        m_strRefusal = OneLine(record.Text());
        return;
    }
  }

  int Silent() {
    if (m_bUnknownWavelength) return kExitMeter;  // already said
    if (m_s.service.Connected() && !StopSignal()) {
      std::fprintf(stderr, "%s\n", m_s.texts.m_strLostMeter.c_str());
    }
    return kExitMeter;
  }

  MeterSession& m_s;
  const Options& m_o;
  int m_nDialogs = 0;
  bool m_bSent = false;
  bool m_bSucceeded = false;
  bool m_bRefused = false;
  bool m_bCurrentKnown = false;
  bool m_bListingEnded = false;
  bool m_bUnknownWavelength = false;
  std::string m_strRefusal;
};

}  // namespace

bool IsSettingCommand(const std::string& command) {
  return command == "set-clock" || command == "set-wavelength" || command == "calibrate" ||
         command == "set-mode" || command == "reset";
}

int RunSetting(MeterSession& s, const Options& o) { return SettingRun(s, o).Run(); }

}  // namespace cli
