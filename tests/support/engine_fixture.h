// A character engine on the test display, with definitions and bitmaps written
// into the test's folder and a clock the test sets.
#pragma once

#include "chr/qpchr.h"
#include "platform/clock.h"
#include "support/bmp_writer.h"
#include "support/display_fixture.h"

#include <memory>
#include <string>

class EngineTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        setMillisecondClock([this] { return now; });
        chr = std::make_unique<Tqpchr>(&dddd);
    }
    void TearDown() override
    {
        chr.reset();
        setMillisecondClock({});
        DisplayTest::TearDown();
    }
    // Writes the lines as a definition file with CR LF line breaks; loadDefinition loads it too.
    std::string writeDefinition(const std::string& lines, const std::string& name = "chara.chP")
    {
        std::string text;
        for (char c : lines) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return scratch.write(name, text).string();
    }
    void loadDefinition(const std::string& lines, const std::string& name = "chara.chP")
    {
        chr->load(writeDefinition(lines, name));
    }
    // A 24-bit CG of the given size, every pixel from color(x, y).
    template <typename Color>
    void writeCg(const std::string& name, int32_t width, int32_t height, Color color)
    {
        BitmapPicture picture{width, height, 24, {}, {}};
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) picture.pixels.push_back(color(x, y));
        scratch.write(name, makeBmp(picture));
    }

    uint32_t now = 1000;
    std::unique_ptr<Tqpchr> chr;
};
