#pragma once
// What the simulated meter answers to each command line, and when. The I/O
// (pseudo-terminal, timing, writes) is the caller's; this is the meter's
// behaviour and its test scenarios.
#include <array>
#include <chrono>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "sim/MeterRecords.h"

namespace meter {

// Real-time replies far beyond the meter's line rate, for checking that the
// program stays responsive and bounded: from the first "D" on, records are
// written back to back for as long as the line takes them.
enum class Flood {
  None,
  Readings,  // real-time reading records
  Empty,     // records with nothing in them: "$" after "$"
};

struct Scenario {
  bool silent = false;            // never answers
  bool probeOnly = false;         // answers "?" only
  int noAnswerAfter = -1;         // stops answering after N replies (line stays up)
  int hangupAfter = -1;           // closes the line after N replies
  int historyCount = 12;          // stored history entries
  int historyDelayMs = 0;         // pause before each history record
  int probeDelayMs = 0;           // pause before the probe's answer (a slow adapter)
  // The meter runs this many times faster: its pauses last 1/pace of their
  // time, for a program whose poll and watchdogs are shortened alike.
  int pace = 1;
  int historyStopAfter = -1;      // the history transfer stops after N records
  bool emptySlots = false;        // every third history entry is an unused slot
  bool failSettings = false;      // settings are refused (no "成功")
  // Answers given in place of the meter's own, by command letter: the text
  // (UTF-8, sent in GBK) holds whole records, each ending with "$", sent one
  // write each. The command changes nothing in the meter. For the wordings
  // other firmware answers with ("设置不成功", the current wavelength as a
  // record of its own before "设置成功", an unknown wavelength in "B"'s listing).
  std::map<char, std::string> answers;
  bool garbage = false;           // noise bytes (never "$" or "?") before each reply
  Flood flood = Flood::None;      // "D" starts an endless flood of records
  // Real-time readings in dBm given in turn (over and over) instead of a
  // drifting source; empty: the drift.
  std::vector<double> readings;
  // The wavelength each of those readings is taken at, by index; 0 or
  // missing: the meter's current wavelength. A technician switching the
  // meter between two sources in the middle of a run.
  std::vector<int> readingWavelengthsNm;
  // A bad line and a worse meter: noise with NUL bytes, random garbage,
  // records without their "$", a "?" inside a record, bursts far above line
  // rate and short silences. (km360r-sim adds hang-ups with the port coming
  // back.)
  bool hostile = false;
};

// One piece of a reply: bytes to send after a pause.
struct ReplyPart {
  std::chrono::milliseconds delay{0};
  std::string bytes;
};

class SimulatedMeter {
 public:
  explicit SimulatedMeter(Scenario scenario, unsigned seed = std::random_device{}());

  // The reply to one command line (without its CR); empty when the meter says
  // nothing. Counts as a reply when it is not empty.
  std::vector<ReplyPart> Answer(const std::string& line);

  int RepliesGiven() const { return m_nReplies; }
  // A flood has been started: the line is to be kept full with FloodBytes().
  bool Flooding() const { return m_bFlooding; }
  // The next stretch of the flood, a few kilobytes of whole records.
  std::string FloodBytes();
  // The line is to be closed once the replies given so far have been sent.
  bool HangUpDue() const { return m_scenario.hangupAfter >= 0 && m_nReplies >= m_scenario.hangupAfter; }
  // Hostile: how often the meter fell silent and sent a burst so far.
  int Silences() const { return m_nSilences; }
  int Bursts() const { return m_nBursts; }

 private:
  std::vector<ReplyPart> AnswerCommand(const std::string& line);
  std::vector<ReplyPart> GivenAnswer(const std::string& utf8);
  std::tm Now() const;
  SentReading NextReading(const std::tm& when);
  std::vector<ReplyPart> History();
  std::vector<ReplyPart> AdValues();
  std::vector<ReplyPart> Parameters();
  std::vector<ReplyPart> SetClock(const std::string& args);
  std::vector<ReplyPart> SetWavelength(const std::string& args);
  std::vector<ReplyPart> Calibrate(const std::string& args);
  std::vector<ReplyPart> SetMode(const std::string& args);
  std::string Noise();
  bool Chance(double p);
  void Spoil(std::vector<ReplyPart>& parts, bool reading);
  std::string Garbage();
  std::string Burst();

  Scenario m_scenario;
  std::mt19937 m_random;
  int m_nReplies = 0;
  bool m_bFlooding = false;
  int m_nWavelengthCode;
  double m_dbm = -20.0;
  size_t m_nNextReading = 0;  // into Scenario::readings
  int m_nMode = 0;  // 0 normal, 1 reference
  std::chrono::seconds m_clockOffset{0};
  std::array<double, 7> m_wavelengthCalibration;
  int m_nSilentCommands = 0;  // hostile: command lines still to be ignored
  int m_nSilences = 0;
  int m_nBursts = 0;
};

}  // namespace meter
