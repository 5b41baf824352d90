// The status label's text for each anime, shown by the main window and the zoomed view.
#pragma once

#include <QString>

#include <cstdint>

// Empty for the animes that leave the label as it is.
const QString& animeStatusText(int32_t anime);
