// The display component on a fake window: its start sequence, its message procedure
// and its release.
#include "support/display_fixture.h"
#include "support/fake_window_host.h"

#include <algorithm>

namespace {

using Strings = std::vector<std::string>;

// Made while the window is built, settings read; the window's creation runs the start sequence.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPlatform();
        newLog();
        Screen::setScreenSaverActive(true);
        window.setCreateHandler([this](void*) { events.push_back("FormCreate"); });
        window.setPaintHandler([this](void*) { events.push_back("FormPaint"); });
        dddd = std::make_unique<TDDDD>(&window);
        dddd->setDebugOption({ddoDebugMessage, ddoDetailedLog});
        dddd->Loaded();  // the settings read: the window's creation starts it
        dddd->OnInit = [this](void*, bool) { events.push_back("OnInit"); };
        dddd->OnRestore = [this](TDDDD*) { events.push_back("OnRestore"); };
    }
    void TearDown() override
    {
        dddd.reset();
        ApplyDebugOption({});
        resetPlatform();
    }
    static void resetPlatform()
    {
        DDFaultInjection::reset();
        resetScreen();
    }
    // Another display of the window, as after its start sequence, logging to a new log.
    std::unique_ptr<TDDDD> device()
    {
        auto made = std::make_unique<TDDDD>(&window);
        made->setDebugOption({ddoDebugMessage});
        made->NotStarted = false;
        newLog();
        return made;
    }
    // A new log: the next line written starts the file anew as number 1.
    void newLog() const { setDebugLogPath((scratch / "dddd.debug").string()); }
    Strings log() const { return debugLogMessages(scratch / "dddd.debug"); }
    size_t count(const std::string& message) const { return static_cast<size_t>(std::ranges::count(log(), message)); }

    ScratchFolder scratch;
    FakeWindowHost window{{0, 0, 640, 480}};
    Strings events;
    std::unique_ptr<TDDDD> dddd;
};

// From construction to destruction, painting with lost surfaces in between.
TEST_F(DeviceTest, TheMainWindowsRunFromConstructionToDestruction)
{
    const Strings releaseLines = {"…DirectDraw/3D関連オブジェクトを全て解放します…",
                                  "…DirectDraw/3D関連オブジェクト、解放終了しました…"};
    dddd->setDebugOption({ddoHaltOnError, ddoDebugMessage, ddoDetailedLog});
    window.create();
    EXPECT_FALSE(Screen::screenSaverActive());
    EXPECT_EQ(count(releaseLines[0]), 1u);  // the first set-up starts from nothing
    EXPECT_EQ(window.deliver(WM_MOVE, 0, 0x00100010), 0);  // the procedure is hooked and passes on
    window.deliver(WM_ENTERMENULOOP);
    EXPECT_EQ(dddd->DirectDraw->flipsToGDISurface(), 1);  // menus get the screen
    auto surface = std::make_unique<TDDDDSurface>(dddd.get(), 2, 1, 0);
    dddd->DirectDraw->markAllSurfacesLost();
    window.isActive = false;
    window.paint();
    window.isActive = true;
    dddd->Busy = true;
    window.paint();
    EXPECT_TRUE(surface->IsLost());
    dddd->Busy = false;
    window.paint();
    // Inactive: no restore.
    EXPECT_EQ(events, (Strings{"FormCreate", "OnInit", "FormPaint", "FormPaint", "OnRestore"}));
    EXPECT_FALSE(surface->IsLost() || dddd->Primary->IsLost());
    surface.reset();
    dddd->BackColor = 0x00ABCDEF;
    dddd->ScreenWidth = 10;  // only this much is cleared
    dddd->ClearBackBuffer();
    EXPECT_EQ(dddd->BackBuffer->GetPixel(9, 479), 0x00ABCDEFu);
    EXPECT_EQ(dddd->BackBuffer->GetPixel(10, 0), 0u);
    newLog();
    dddd.reset();
    EXPECT_TRUE(Screen::screenSaverActive());
    EXPECT_EQ((Strings{log().front(), log().back()}), releaseLines);
    window.deliver(WM_MOVE);
    EXPECT_EQ(window.ownMessages.size(), 3u);  // the window has its own procedure back
}

TEST_F(DeviceTest, ADisplayThatNeverStartedReleasesWhatItMadeWithoutAWord)
{
    dddd->InitializeDisplayMode(false, 64, 64, 32, 0, "");  // a set-up without the start sequence
    // Each object, held here as well, must be left with this one reference.
    IDirectDraw7* directDraw = dddd->DirectDraw.get();
    IDirectDrawClipper* clipper = dddd->Clipper.get();
    IDirectDrawSurface7* primary = dddd->Primary->DDSurface.get();
    IDirectDrawSurface7* back = dddd->BackBuffer->DDSurface.get();
    ASSERT_TRUE(directDraw && clipper && primary && back);
    for (auto addRef : {directDraw->AddRef(), clipper->AddRef(), primary->AddRef(), back->AddRef()})
        EXPECT_GT(addRef, 1u);
    std::filesystem::remove(scratch / "dddd.debug");
    newLog();
    dddd.reset();
    EXPECT_FALSE(std::filesystem::exists(scratch / "dddd.debug"));
    // The surfaces first: they hold the clipper.
    for (uint32_t left : {primary->Release(), back->Release(), clipper->Release(), directDraw->Release()})
        EXPECT_EQ(left, 0u);
}

// A failed call of each stage of the set-up is logged with its code; after: successful calls of its kind first.
TEST_F(DeviceTest, CheckedCallsLogTheirMessageWhenTheyFail)
{
    const struct {
        DDCall call;
        int after;
        const char* message;
        int times = 1;  // failures in a row
    } cases[] = {
        {DDCall::DirectDrawCreateEx, 0, "DirectDrawオブジェクトが作成できません"},
        {DDCall::CreateSurface, 0, "プライマリ・サーフェスの作成に失敗しました"},
        {DDCall::CreateSurface, 1, "バックバッファの作成に失敗しました", 2},  // and its retry
        {DDCall::SetHWnd, 0, "Clipperのフォームへの割り当てに失敗しました"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        resetPlatform();
        for (int i = 0; i < c.times; ++i) DDFaultInjection::failCall(c.call, DDERR_GENERIC, c.after);
        device()->InitializeDisplayMode(false, 640, 480, 32, 0, "");
        EXPECT_EQ(count(std::string(c.message) + "(Error Code(80004005))"), 1u);
    }
}

// Leaks show: a release that leaves a reference is logged as a failure with the count left.
TEST_F(DeviceTest, AReleaseThatLeavesAReferenceIsAFailure)
{
    auto made = device();
    made->InitializeDisplayMode(false, 640, 480, 32, 0, "");
    const RefPtr<IDirectDraw7> directDraw = made->DirectDraw;
    newLog();
    made->ReleaseAll();
    EXPECT_EQ(log(), Strings{"DirectDrawの解放に失敗しました(Error Code(1))"});
}

}  // namespace
