#pragma once
// Opening a serial device the way the program holds its port: read/write, not
// as controlling terminal, non-blocking, and claimed exclusively so that no
// second program (or a second scan) talks to the same meter at the same time.
#include <string>

namespace ports {

// The open, claimed descriptor, or -1 with errno set (EBUSY when another
// holder has the claim, ENODEV when the path is no character device, ENOTTY
// when it is a character device without line settings, i.e. no terminal).
int OpenClaimed(const std::string& devicePath);

// Gives up the claim and closes the descriptor.
void CloseClaimed(int fd);

}  // namespace ports
