// Pause and single steps of the running anime.
#include "app/playback_control.h"

#include "app/form1.h"
#include "chr/qpchr.h"
#include "platform/clock.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>

PlaybackControl::PlaybackControl(TForm1& form) : QObject(&form), form_(form) { takeKeys(&form); }

// A focused button or check box claims Space before the shortcut sees it, so the keyboard
// presses it as it always did.
bool PlaybackControl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        qobject_cast<QAbstractButton*>(watched)) {
        event->accept();
        return true;
    }
    return false;
}

// Window shortcuts: an edit box with the focus claims the keys it uses (a space is
// typed, the arrows and Home move its caret) before a shortcut sees them.
void PlaybackControl::takeKeys(QWidget* window)
{
    const struct {
        Qt::Key key;
        void (PlaybackControl::*action)();
    } keys[] = {
        {Qt::Key_Space, &PlaybackControl::togglePause},
        {Qt::Key_Right, &PlaybackControl::stepForward},
        {Qt::Key_Left, &PlaybackControl::stepBack},
        {Qt::Key_Home, &PlaybackControl::home},
    };
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) button->installEventFilter(this);
    for (const auto& key : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key.key), window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, key.action);
    }
}

void PlaybackControl::advance()
{
    if (!paused_) form_.chr->step();
}

// The clock runs on while paused; without a new start the frame's time would count
// the whole pause, and the engine adds such lateness to the next frame's time.
void PlaybackControl::togglePause()
{
    paused_ = !paused_;
    if (!paused_) form_.chr->lastclock = millisecondClock();
}

// A frame time shorter than no time at all makes the engine's step advance exactly
// once, whatever the clock says.
void PlaybackControl::stepForward()
{
    if (!paused_) return;
    Tqpchr& chr = *form_.chr;
    const int32_t framewait = chr.framewait;
    chr.framewait = -1;
    chr.lastclock = millisecondClock();
    chr.step();
    chr.framewait = framewait;
}

void PlaybackControl::stepBack()
{
    if (paused_ && form_.chr->frame > 1) --form_.chr->frame;
}

void PlaybackControl::home() { form_.chr->frame = 1; }
