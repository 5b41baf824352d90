// Pause and single steps of the running anime.
#include "app/playback_control.h"

#include "chr/qpchr.h"
#include "platform/clock.h"
#include "platform/scope_guard.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace {

QAction* addItem(QMenu& menu, const char* name, const char* caption, Qt::Key key)
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::ApplicationShortcut);
    return action;
}

}  // namespace

PlaybackControl::PlaybackControl(QObject& owner, std::function<Tqpchr*()> engine, QMenu& menu)
        : QObject(&owner),
          engine_(std::move(engine))
{
    menu.addSeparator();
    pauseAction = addItem(menu, "pauseAction", "一時停止", Qt::Key_Space);
    pauseAction->setCheckable(true);
    stepForwardAction = addItem(menu, "stepForwardAction", "コマ送り", Qt::Key_Right);
    stepBackAction = addItem(menu, "stepBackAction", "コマ戻し", Qt::Key_Left);
    firstFrameAction = addItem(menu, "firstFrameAction", "最初のコマ", Qt::Key_Home);
    connect(pauseAction, &QAction::toggled, this, &PlaybackControl::pausedChanged);
    connect(stepForwardAction, &QAction::triggered, this, &PlaybackControl::stepForward);
    connect(stepBackAction, &QAction::triggered, this, &PlaybackControl::stepBack);
    connect(firstFrameAction, &QAction::triggered, this, &PlaybackControl::home);
    pausedChanged(false);
}

bool PlaybackControl::paused() const { return pauseAction->isChecked(); }

void PlaybackControl::advance()
{
    if (!paused()) engine_()->step();
}

void PlaybackControl::togglePause() { pauseAction->toggle(); }

// The clock runs on while paused; without a new start the frame's time would count
// the whole pause, and the engine adds such lateness to the next frame's time.
void PlaybackControl::pausedChanged(bool paused)
{
    for (QAction* step : {stepForwardAction, stepBackAction, firstFrameAction}) step->setEnabled(paused);
    if (Tqpchr* chr = engine_(); !paused && chr) chr->lastclock = millisecondClock();
}

// A frame time shorter than no time at all makes the engine's step advance exactly
// once, whatever the clock says.
void PlaybackControl::stepForward()
{
    if (!paused()) return;
    Tqpchr& chr = *engine_();
    const ScopeGuard keepFramewait([&chr, framewait = chr.framewait] { chr.framewait = framewait; });
    chr.framewait = -1;
    chr.lastclock = millisecondClock();
    chr.step();
}

void PlaybackControl::stepBack()
{
    if (!paused()) return;
    Tqpchr& chr = *engine_();
    if (chr.frame > 1) --chr.frame;
}

void PlaybackControl::home()
{
    if (paused()) engine_()->frame = 1;
}

void PlaybackControl::showFrame(int32_t frame)
{
    if (!paused()) togglePause();
    engine_()->frame = frame;
}
