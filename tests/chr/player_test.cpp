#include "support/engine_fixture.h"

namespace {

class PlayerTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        // Anime 1 (base): 3 frames; 2 (base): 1 frame; 6 and 7 (one-shot): 2 frames, 6 loops
        // at frame 3; 30: 1 frame; 9 (neither): a layer longer than its pattern list.
        loadDefinition("#PATERN 01 010203\n#PATERN 02 04\n#PATERN 06 0506\n#LOOP 06 3\n"
                       "#PATERN 07 0708\n#PATERN 30 09\n#PATERN 09 01\n#LAYER 09 0101 0202\n#ANIME 100\n");
        chr->lastclock = now;
    }
    // Advances the clock past one frame time and steps, count times.
    void nextFrames(int count)
    {
        for (int i = 0; i < count; ++i) {
            now = chr->lastclock + static_cast<uint32_t>(chr->framewait) + 1;
            chr->step();
        }
    }
    // The anime and frame playing.
    std::pair<int32_t, int32_t> playing() const { return {chr->anime, chr->frame}; }
};

TEST_F(PlayerTest, FramesAdvanceOnlyAfterMoreThanTheFrameTime)
{
    chr->start(1);
    chr->step();
    EXPECT_EQ(chr->frame, 1);
    now += 100;  // exactly the frame time: not yet
    chr->step();
    EXPECT_EQ(chr->frame, 1);
    now += 1;
    chr->step();
    EXPECT_EQ(std::pair(chr->frame, chr->lastclock), std::pair(2, now + 1));  // the 1 ms of lateness lengthens the next frame
    now += 5000;  // a stall: one frame per step only, and the lateness carries over
    chr->step();
    chr->step();
    EXPECT_EQ(std::pair(chr->frame, chr->lastclock), std::pair(3, now + 4899));  // 4999 ms late by 4899
}

TEST_F(PlayerTest, TheClockWrapsAround)
{
    chr->start(1);
    chr->lastclock = 0xFFFFFFF0u;
    now = 0x00000060u;  // 0x70 = 112 ms later
    chr->step();
    EXPECT_EQ(std::pair(chr->frame, chr->lastclock), std::pair(2, 0x6Cu));
    now = 0xFFFFFF00u;  // far "before": a negative difference never advances
    chr->step();
    EXPECT_EQ(chr->frame, 2);
}

TEST_F(PlayerTest, BaseAnimesLoopAndAreRemembered)
{
    chr->start(1);
    nextFrames(3);
    EXPECT_EQ(playing(), std::pair(1, 1));
    chr->start(1);  // the same button restarts it and keeps it remembered
    chr->start(6);
    chr->start(7);  // a one-shot inside a one-shot keeps the base anime
    EXPECT_EQ(chr->returnanime, 1);
    nextFrames(2);
    EXPECT_EQ(playing(), std::pair(1, 1));
}

TEST_F(PlayerTest, AOneShotLoopFrameCarriesIntoTheBaseAnime)
{
    chr->start(2);
    chr->start(6);
    nextFrames(2);  // anime 6 ends: frame 4 (its loop 3 + 1), back to anime 2
    EXPECT_EQ(playing(), std::pair(2, 4));
    chr->step();  // anime 2 has no frame 4: it loops to its own start
    EXPECT_EQ(playing(), std::pair(2, 1));
}

TEST_F(PlayerTest, LoopSwitchesKeepOneShotsAndTheCheckPatternGoing)
{
    chr->start(5);
    chr->start(7);
    chr->loopshots = true;
    nextFrames(2);
    EXPECT_EQ(playing(), std::pair(7, 1));
    chr->start(30);
    nextFrames(1);
    EXPECT_EQ(chr->anime, 5);
    chr->loopcheck = true;
    chr->start(30);
    nextFrames(1);
    EXPECT_EQ(chr->anime, 30);
}

TEST_F(PlayerTest, EdgeCasesOfLoopsAndEmptyAnimes)
{
    chr->loopframe[1] = 3;  // at the last frame: every step finds the end again
    chr->start(1);
    nextFrames(3);
    chr->step();
    EXPECT_EQ(chr->frame, 4);
    chr->loopframe[1] = 600;  // beyond the tables
    nextFrames(1);
    EXPECT_EQ(chr->frame, 601);
    chr->start(11);  // no lines: stays on frame 1
    chr->step();
    EXPECT_EQ(playing(), std::pair(1, 1));  // anime 11 is one-shot: it ended at once and returned
}

TEST_F(PlayerTest, FrameNumbersWrapAs32BitValues)
{
    // The largest loop frame a definition can hold goes on at frame -2147483648,
    // which is empty: the anime stands still there like any loop past its end.
    loadDefinition("#PATERN 01 01\n#LOOP 01 2147483647\n");
    chr->start(1);
    nextFrames(1);
    EXPECT_EQ(playing(), std::pair(1, INT32_MIN));
    nextFrames(1);
    EXPECT_EQ(playing(), std::pair(1, INT32_MIN));
    chr->frame = INT32_MAX;
    nextFrames(1);
    EXPECT_EQ(playing(), std::pair(1, INT32_MIN));
}

TEST_F(PlayerTest, AnAnimeLastsAsLongAsItsLongerList)
{
    chr->start(9);
    nextFrames(1);
    EXPECT_EQ(chr->frame, 2);  // pattern list has ended, the layer has not
    nextFrames(1);
    EXPECT_EQ(chr->frame, 1);
}

TEST_F(PlayerTest, WithoutARememberedBaseAOneShotEndsInAnimeZero)
{
    chr->anime = 30;  // put in place directly, as the author tools do
    chr->frame = 1;
    chr->start(6);
    nextFrames(2);
    EXPECT_EQ(chr->anime, 0);
    chr->step();
    EXPECT_EQ(chr->anime, 0);
}

}  // namespace
