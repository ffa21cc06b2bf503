#include "sim/SimulatedMeter.h"

#include "common/Gbk.h"
#include "common/LocalTime.h"

#include <algorithm>
#include <cstdio>

namespace meter {

namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

std::vector<ReplyPart> One(std::string bytes) { return {ReplyPart{{}, std::move(bytes)}}; }

// The command's arguments: the text after its letter and one blank.
std::string Args(const std::string& line) { return line.size() > 2 ? line.substr(2) : std::string(); }

}  // namespace

SimulatedMeter::SimulatedMeter(Scenario scenario, unsigned seed)
    : m_scenario(scenario),
      m_random(seed),
      m_nWavelengthCode(kDefaultWavelengthCode),
      m_wavelengthCalibration{1.002, 0.998, 1.013, 1.000, 0.996, 1.004, 1.009} {}

std::vector<ReplyPart> SimulatedMeter::Answer(const std::string& rawLine) {
  if (m_scenario.silent) return {};
  if (m_scenario.noAnswerAfter >= 0 && m_nReplies >= m_scenario.noAnswerAfter) return {};
  if (HangUpDue()) return {};
  const std::string line = Trim(rawLine);
  if (m_scenario.probeOnly && line != "?") return {};
  if (m_scenario.hostile) {
    if (m_nSilentCommands > 0) {
      --m_nSilentCommands;
      return {};
    }
    // Long enough for the reply watchdog to give up on the meter.
    if (Chance(0.02)) {
      ++m_nSilences;
      m_nSilentCommands = std::uniform_int_distribution<int>(1, 5)(m_random);
      return {};
    }
  }
  std::vector<ReplyPart> parts = AnswerCommand(line);
  if (parts.empty()) return parts;
  if (m_scenario.garbage) parts.front().bytes.insert(0, Noise());
  if (m_scenario.hostile) Spoil(parts, !line.empty() && line[0] == 'D');
  ++m_nReplies;
  return parts;
}

std::vector<ReplyPart> SimulatedMeter::AnswerCommand(const std::string& line) {
  if (line.empty()) return {};
  if (line == "?") {
    const auto delay = std::chrono::milliseconds(std::max(m_scenario.probeDelayMs, 0) /
                                                 std::max(m_scenario.pace, 1));
    return {ReplyPart{delay, std::string(kProbeAnswer)}};
  }
  if (line.size() > 1 && line[1] != ' ') return {};  // not a command of the meter
  if (const auto given = m_scenario.answers.find(line[0]); given != m_scenario.answers.end()) {
    return GivenAnswer(given->second);
  }
  const bool ok = !m_scenario.failSettings;
  switch (line[0]) {
    case 'D':
      if (m_scenario.flood != Flood::None) {
        // Later polls are answered by the flood that runs already.
        if (m_bFlooding) return {};
        m_bFlooding = true;
        return One(FloodBytes());
      }
      return One(ReadingRecord("实时测量", NextReading(Now())));
    case 'H': return History();
    case 'A': return AdValues();
    case 'B': return One(WavelengthCodeListing(m_nWavelengthCode));
    case 'R': return Parameters();
    case 'I':
      if (ok) {
        m_nWavelengthCode = kDefaultWavelengthCode;
        m_nMode = 0;
      }
      return One(SentSettingReply("恢复出厂设置", ok));
    case 'T': return SetClock(Args(line));
    case 'L': return SetWavelength(Args(line));
    case 'C': return Calibrate(Args(line));
    case 'F': return SetMode(Args(line));
    default: return {};
  }
}

std::vector<ReplyPart> SimulatedMeter::GivenAnswer(const std::string& utf8) {
  std::vector<ReplyPart> parts;
  size_t start = 0;
  while (start < utf8.size()) {
    const size_t end = std::min(utf8.find('$', start), utf8.size() - 1);
    parts.push_back({{}, gbk::FromUtf8(utf8.substr(start, end - start + 1))});
    start = end + 1;
  }
  return parts;
}

std::tm SimulatedMeter::Now() const {
  const std::time_t t = std::time(nullptr) + m_clockOffset.count();
  std::tm local{};
  local = localclock::At(t).fields;
  return local;
}

SentReading SimulatedMeter::NextReading(const std::tm& when) {
  int wavelengthNm = kWavelengthsNm[static_cast<size_t>(m_nWavelengthCode)];
  if (!m_scenario.readings.empty()) {
    const size_t at = m_nNextReading++ % m_scenario.readings.size();
    m_dbm = m_scenario.readings[at];
    if (at < m_scenario.readingWavelengthsNm.size() && m_scenario.readingWavelengthsNm[at] != 0) {
      wavelengthNm = m_scenario.readingWavelengthsNm[at];
    }
  } else {
    // A light source on a fibre drifts a little from one second to the next.
    std::normal_distribution<double> drift(0.0, 0.4);
    m_dbm += drift(m_random);
    // Kept between -10 and -30 dBm by reflecting at the edges.
    if (m_dbm > -10.0) m_dbm = -10.0 - (m_dbm + 10.0);
    if (m_dbm < -30.0) m_dbm = -30.0 + (-30.0 - m_dbm);
  }
  SentReading r;
  r.wavelengthNm = wavelengthNm;
  r.dbm = m_dbm;
  r.time = when;
  return r;
}

std::vector<ReplyPart> SimulatedMeter::History() {
  std::vector<ReplyPart> parts;
  const int count = std::max(m_scenario.historyCount, 0);
  const auto delay = std::chrono::milliseconds(std::max(m_scenario.historyDelayMs, 0) /
                                                std::max(m_scenario.pace, 1));
  std::uniform_int_distribution<size_t> anyWavelength(0, kWavelengthsNm.size() - 1);
  const std::time_t now = std::time(nullptr) + m_clockOffset.count();
  for (int i = 1; i <= count; ++i) {
    if (m_scenario.historyStopAfter >= 0 && i > m_scenario.historyStopAfter) return parts;
    char heading[32];
    std::snprintf(heading, sizeof heading, "历史记录 %03d", i);
    if (m_scenario.emptySlots && i % 3 == 0) {
      parts.push_back({delay, EmptySlotRecord(heading)});
      continue;
    }
    // Stored readings, one an hour, the latest an hour ago.
    const std::time_t taken = now - static_cast<std::time_t>(count - i + 1) * 3600;
    std::tm when{};
    when = localclock::At(taken).fields;
    SentReading r = NextReading(when);
    r.wavelengthNm = kWavelengthsNm[anyWavelength(m_random)];
    parts.push_back({delay, ReadingRecord(heading, r)});
  }
  if (m_scenario.historyStopAfter >= 0 && count > m_scenario.historyStopAfter) return parts;
  parts.push_back({delay, HistoryEndRecord(count)});
  return parts;
}

std::vector<ReplyPart> SimulatedMeter::AdValues() {
  std::vector<ReplyPart> parts;
  const std::tm now = Now();
  for (int range = 0; range < 8; ++range) {
    char heading[32];
    std::snprintf(heading, sizeof heading, "AD值 量程%d", range);
    parts.push_back({{}, ReadingRecord(heading, NextReading(now))});
  }
  return parts;
}

std::vector<ReplyPart> SimulatedMeter::Parameters() {
  std::vector<ReplyPart> parts;
  std::normal_distribution<double> spread(0.0, 0.08);
  for (size_t code = 0; code < kWavelengthsNm.size(); ++code) {
    std::array<double, 8> ranges;
    for (double& r : ranges) r = -3.0 + spread(m_random);
    parts.push_back({{}, SentParameterRecord(kWavelengthsNm[code], m_wavelengthCalibration[code], ranges)});
  }
  return parts;
}

std::vector<ReplyPart> SimulatedMeter::SetClock(const std::string& args) {
  int y, mo, d, h, mi, s;
  char tail;
  bool ok = std::sscanf(args.c_str(), "%d/%d/%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail) == 6 &&
            y >= 0 && y <= 99 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && h <= 23 &&
            mi >= 0 && mi <= 59 && s >= 0 && s <= 59;
  ok = ok && !m_scenario.failSettings;
  if (ok) {
    std::tm t{};
    t.tm_year = 100 + y;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    t.tm_isdst = -1;
    m_clockOffset = std::chrono::seconds(std::mktime(&t) - std::time(nullptr));
  }
  return One(SentSettingReply("时间设置", ok));
}

std::vector<ReplyPart> SimulatedMeter::SetWavelength(const std::string& args) {
  int code;
  char tail;
  bool ok = std::sscanf(args.c_str(), "%d%c", &code, &tail) == 1 && code >= 0 &&
            code < static_cast<int>(kWavelengthsNm.size());
  ok = ok && !m_scenario.failSettings;
  if (ok) m_nWavelengthCode = code;
  return One(WavelengthSettingReply(m_nWavelengthCode, "设置", ok));
}

std::vector<ReplyPart> SimulatedMeter::Calibrate(const std::string& args) {
  // "code ±II.FF": the meter calibrates the given wavelength against the source.
  int code, whole, hundredths;
  char sign, tail;
  bool ok = std::sscanf(args.c_str(), "%d %c%d.%d%c", &code, &sign, &whole, &hundredths, &tail) == 4 &&
            (sign == '+' || sign == '-') && code >= 0 &&
            code < static_cast<int>(kWavelengthsNm.size());
  ok = ok && !m_scenario.failSettings;
  if (ok) {
    const double value = (whole + hundredths / 100.0) * (sign == '-' ? -1 : 1);
    m_wavelengthCalibration[static_cast<size_t>(code)] = std::clamp(1.0 + value / 100.0, 0.0, 9.999);
  }
  return One(WavelengthSettingReply(m_nWavelengthCode, "校准", ok));
}

std::vector<ReplyPart> SimulatedMeter::SetMode(const std::string& args) {
  const bool ok = (args == "0" || args == "1") && !m_scenario.failSettings;
  if (ok) m_nMode = args == "1" ? 1 : 0;
  return One(SentSettingReply(m_nMode == 1 ? "参考测量模式设置" : "正常测量模式设置", ok));
}

std::string SimulatedMeter::FloodBytes() {
  constexpr size_t kStretch = 4096;
  if (m_scenario.flood == Flood::Empty) return std::string(kStretch, '$');
  std::string bytes;
  const std::tm now = Now();
  while (bytes.size() < kStretch) bytes += ReadingRecord("实时测量", NextReading(now));
  return bytes;
}

std::string SimulatedMeter::Noise() {
  // Line noise never contains the record end or the probe answer; the array's
  // closing NUL is one of the choices, so NUL bytes occur too.
  static const char kNoise[] = "ABCXYZabcxyz0123456789 .,:;-_#*+=!\r\n\t";
  std::uniform_int_distribution<int> length(3, 12);
  std::uniform_int_distribution<size_t> pick(0, sizeof kNoise - 1);
  std::string noise;
  for (int n = length(m_random); n > 0; --n) noise += kNoise[pick(m_random)];
  return noise;
}

bool SimulatedMeter::Chance(double p) { return std::bernoulli_distribution(p)(m_random); }

void SimulatedMeter::Spoil(std::vector<ReplyPart>& parts, bool reading) {
  for (ReplyPart& part : parts) {
    std::string& b = part.bytes;
    if (b.size() > 1 && Chance(0.05)) {
      // A "?" in the middle: everything before it is lost to the probe answer.
      b.insert(std::uniform_int_distribution<size_t>(1, b.size() - 1)(m_random), 1, '?');
    }
    if (!b.empty() && b.back() == '$' && Chance(0.05)) b.pop_back();  // the record end is lost
    if (Chance(0.25)) b.insert(0, Noise());
    if (Chance(0.02)) b.insert(0, Garbage());
  }
  if (reading && Chance(0.08)) parts.push_back({{}, Burst()});
}

std::string SimulatedMeter::Garbage() {
  // Any byte at all, "$" and "?" included.
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(std::uniform_int_distribution<size_t>(256, 16 * 1024)(m_random), '\0');
  for (char& c : bytes) c = static_cast<char>(byte(m_random));
  return bytes;
}

std::string SimulatedMeter::Burst() {
  // Real-time records back to back, far more than a second of the line could
  // carry, with noise between some of them.
  ++m_nBursts;
  const size_t size = std::uniform_int_distribution<size_t>(64 * 1024, 256 * 1024)(m_random);
  const std::tm now = Now();
  std::string bytes;
  while (bytes.size() < size) {
    bytes += ReadingRecord("实时测量", NextReading(now));
    if (Chance(0.1)) bytes += Noise();
  }
  return bytes;
}

}  // namespace meter
