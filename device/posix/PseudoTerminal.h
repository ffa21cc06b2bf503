#pragma once
// A pseudo-terminal pair in raw mode: the far end of a serial line for the
// simulated meter, the end-to-end tests and the benchmarks. The program opens
// SlavePath() like any serial device; whoever holds the pair reads and writes
// Master().
#include <string>

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Creates the pair. The line is raw (no echo, no CR/LF translation). A slave
  // descriptor of our own stays open, so the line stays up while no program
  // holds the port (without it the master sees a hang-up between two opens).
  // False with errno set on failure.
  bool Open();

  int Master() const { return m_master; }
  const std::string& SlavePath() const { return m_slavePath; }

  // Bytes written to Master() that the port side has not read yet (they have
  // reached the port's receive queue). -1 when closed.
  int PortInputPending() const;

  // Closes our end: the program's port sees a hang-up.
  void HangUp();

 private:
  int m_master = -1;
  int m_keepAlive = -1;
  std::string m_slavePath;
};
