// The --info document: a loaded character as one JSON object.
#pragma once

#include "chr/qpchr.h"

#include <string>

// The definition's texts, sizes, pattern cells and every anime that differs from
// its state after reset. Texts from the engine (CP932 bytes) are given as UTF-8.
std::string infoJson(const Tqpchr& chr);
