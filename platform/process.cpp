// The running process's id, user and terminal, from the system.
#include "platform/process.h"

#include <unistd.h>

int currentProcessId() { return static_cast<int>(getpid()); }

unsigned currentUserId() { return static_cast<unsigned>(getuid()); }

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }
