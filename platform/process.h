// The running process: its id, its user and its terminal.
#pragma once

int currentProcessId();
unsigned currentUserId();
// Whether the standard error stream is a terminal.
bool standardErrorIsTerminal();
