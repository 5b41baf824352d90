// The player: frames advancing on the clock, where animes end and which anime plays after them.
#include "support/engine_fixture.h"

namespace {

// Anime 1 (base): 3 frames; 2 (base): 1 frame; 6 and 7 (one-shot): 2 frames, 6 loops at
// frame 3; 30: 1 frame; 9 (neither): a layer longer than its pattern list.
class PlayerTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        loadDefinition("#PATERN 01 010203\n#PATERN 02 04\n#PATERN 06 0506\n#LOOP 06 3\n#PATERN 07 0708\n#PATERN 30 "
                       "09\n#PATERN 09 01\n#LAYER 09 0101 0202\n#ANIME 100\n");
        chr->lastclock = now;
    }
    // Steps count times, each once the frame time has passed; the frame then.
    int32_t after(int count)
    {
        for (int i = 0; i < count; ++i) {
            now = chr->lastclock + static_cast<uint32_t>(chr->framewait) + 1;
            chr->step();
        }
        return chr->frame;
    }
};

TEST_F(PlayerTest, FramesAdvanceOnlyAfterMoreThanTheFrameTimeAndTheClockWraps)
{
    chr->start(1);
    now += 100;  // exactly the frame time: not yet
    chr->step();
    EXPECT_EQ(chr->frame, 1);
    now += 1;
    chr->step();
    EXPECT_EQ(chr->frame, 2);
    EXPECT_EQ(chr->lastclock, now + 1);  // the 1 ms of lateness lengthens the next frame
    now += 5000;  // a stall: one frame per step only, and the lateness carries over
    chr->step();
    chr->step();
    EXPECT_EQ(chr->frame, 3);
    EXPECT_EQ(chr->lastclock, now + 4899);
    chr->start(1);
    chr->lastclock = 0xFFFFFFF0u;
    now = 0x00000060u;  // 112 ms later
    chr->step();
    EXPECT_EQ(chr->lastclock, 0x6Cu);
    now = 0xFFFFFF00u;  // far "before": a negative difference never advances
    chr->step();
    EXPECT_EQ(chr->frame, 2);
}

TEST_F(PlayerTest, WhatPlaysAfterAnAnimeEnds)
{
    chr->anime = 30;  // put in place directly, as the author tools do: no base anime remembered
    chr->start(6);
    after(2);
    EXPECT_EQ(chr->anime, 0);
    chr->start(1);
    EXPECT_EQ(after(3), 1);  // a base anime starts again
    chr->start(6);
    chr->start(7);  // a one-shot inside a one-shot keeps the base anime
    EXPECT_EQ(after(2), 1);
    EXPECT_EQ(chr->anime, 1);
    chr->start(2);
    chr->start(6);
    EXPECT_EQ(after(2), 4);  // anime 6 ends at its loop 3 + 1, carried into anime 2
    EXPECT_EQ(chr->anime, 2);
    EXPECT_EQ(after(1), 1);  // which has no frame 4
    chr->start(11);  // no lines: a one-shot that ends at once
    chr->step();
    EXPECT_EQ(chr->anime, 2);
    chr->start(5);
    chr->start(7);
    chr->loopshots = true;  // one-shots loop
    EXPECT_EQ(after(2), 1);
    EXPECT_EQ(chr->anime, 7);
    chr->start(30);
    after(1);
    EXPECT_EQ(chr->anime, 5);
    chr->loopcheck = true;  // the check pattern 30 loops
    chr->start(30);
    after(1);
    EXPECT_EQ(chr->anime, 30);
}

TEST_F(PlayerTest, WhereAnAnimeEndsAndLoopFramesAtAndPastTheEnd)
{
    chr->patsrc[1][2] = -1;  // a gap: the anime ends at its first frame without a cell
    const struct {
        int32_t anime, frames;
    } ends[] = {{1, 1}, {9, 2}, {11, 0}, {31, 0}, {-1, 0}};
    for (const auto& e : ends) EXPECT_EQ(chr->animeFrames(e.anime), e.frames) << e.anime;
    chr->patsrc[1][2] = 2;
    chr->loopframe[1] = 3;  // at the last frame: every step finds the end again
    chr->start(1);
    EXPECT_EQ(after(4), 4);
    chr->loopframe[1] = 600;  // beyond the tables
    EXPECT_EQ(after(1), 601);
    // The largest loop frame goes on at frame -2147483648, empty: the anime stands still there.
    loadDefinition("#PATERN 01 01\n#LOOP 01 2147483647\n");
    chr->start(1);
    EXPECT_EQ(after(2), INT32_MIN);
    chr->frame = INT32_MAX;
    EXPECT_EQ(after(1), INT32_MIN);
    EXPECT_EQ(chr->anime, 1);
}

}  // namespace
