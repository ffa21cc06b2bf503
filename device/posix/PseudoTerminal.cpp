#include "device/posix/PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::~PseudoTerminal() { HangUp(); }

bool PseudoTerminal::Open() {
  HangUp();
  m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0) return false;
  const char* name = nullptr;
  if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || !(name = ::ptsname(m_master))) {
    HangUp();
    return false;
  }
  m_slavePath = name;
  m_keepAlive = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (m_keepAlive < 0 || tcgetattr(m_keepAlive, &tio) != 0) {
    HangUp();
    return false;
  }
  cfmakeraw(&tio);
  if (tcsetattr(m_keepAlive, TCSANOW, &tio) != 0) {
    HangUp();
    return false;
  }
  return true;
}

int PseudoTerminal::PortInputPending() const {
  int pending = -1;
  if (m_keepAlive < 0 || ::ioctl(m_keepAlive, FIONREAD, &pending) != 0) return -1;
  return pending;
}

void PseudoTerminal::HangUp() {
  if (m_keepAlive >= 0) ::close(m_keepAlive);
  if (m_master >= 0) ::close(m_master);
  m_keepAlive = -1;
  m_master = -1;
}
