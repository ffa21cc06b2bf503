#pragma once
// The texts of the status bar's link pane, per language (UTF-8): the port
// the meter answered on, the port being probed while Link searches, the port
// that was lost and when, the progress of a history read, and what became of
// a reset. The lamp's tooltip says what the pane says about the link.
#include <string>

namespace statuspane {

// A port as the operator knows it ("COM3") and the device behind it.
struct Port {
  std::string name;
  std::string device;
};

// "COM3 · /dev/ttyUSB0"; the device alone where it has no other name.
std::string PortText(const Port& port);

// "1,234": thousands grouped with commas.
std::string Grouped(int n);
// "0:07", "12:34", "1:02:03".
std::string Elapsed(int seconds);

std::string NotConnected(bool chinese);
std::string Connected(bool chinese, const Port& port);
std::string Searching(bool chinese, const std::string& portName);
// `clock` is the time of day the line was lost, "14:05:09".
std::string Lost(bool chinese, const Port& port, const std::string& clock);
// Link pressed again within the second after the last Link.
std::string LinkTooSoon(bool chinese);

std::string HistoryProgress(bool chinese, int records, int seconds);
std::string HistoryComplete(bool chinese, int records);
std::string HistoryIncomplete(bool chinese, int records);

// `answer` is the meter's reply as the operator reads it (UTF-8): the
// outcome in the window's language, the meter's words in brackets.
std::string ResetAnswered(bool chinese, const std::string& answer);
std::string ResetUnanswered(bool chinese);

}  // namespace statuspane
