// A display component on the software device with a back buffer, as the device
// set-up leaves it, and a private debug log per test.
#pragma once

#include "display/offscreen_display.h"
#include "display/testing.h"
#include "platform/testing.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The messages of a debug log file, without their "debug#NNNNN ... " prefix.
inline std::vector<std::string> debugLogMessages(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> messages;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        messages.push_back(line.substr(line.find(" ... ") + 5));
    }
    return messages;
}

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DDFaultInjection::reset();
        setScreenPixelFormat(pixelFormatXrgb8888());
        setDebugLogPath((folder / "dddd.debug").string());
        dddd.setDebugOption({ddoDebugMessage, ddoDetailedLog});
        makeBackBuffer(DDSCAPS_VIDEOMEMORY);
        startNewLog();
    }
    void TearDown() override
    {
        dddd.setDebugOption({});  // surfaces of the test still to be freed log nowhere
        DDFaultInjection::reset();
        setScreenPixelFormat(pixelFormatXrgb8888());
    }

    void makeBackBuffer(uint32_t memory) { ASSERT_TRUE(setUpOffscreenDisplay(dddd, 64, 48, memory)); }

    // Empties the log: the next line is number 1 again.
    void startNewLog() const
    {
        std::filesystem::remove(folder / "dddd.debug");
        setDebugLogPath((folder / "dddd.debug").string());
    }

    // The messages of this test's log.
    std::vector<std::string> logMessages() const { return debugLogMessages(folder / "dddd.debug"); }

    // Every pixel of the surface, row by row.
    static std::vector<uint32_t> pixels(TDDDDGenSurface& s)
    {
        std::vector<uint32_t> out;
        for (int32_t y = 0; y < s.Height; ++y)
            for (int32_t x = 0; x < s.Width; ++x) out.push_back(s.GetPixel(x, y));
        return out;
    }

    ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path();
    TDDDD dddd;
};
