// Pause and single steps of the running anime: the items 一時停止, コマ送り, コマ戻し and
// 最初のコマ of the menu 表示, on Space, Right, Left and Home.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

class QAction;
class QMenu;
class Tqpchr;

class PlaybackControl : public QObject {
public:
    // Adds the items to the menu; owner owns the control, and engine returns the engine,
    // null before there is one. The items' keys work in every window of the program,
    // except in an edit box, which keeps the keys typed into it. The step items, and so
    // their keys, are enabled only while paused; otherwise the arrows and Home move the
    // focus and the caret as they always do.
    PlaybackControl(QObject& owner, std::function<Tqpchr*()> engine, QMenu& menu);

    // One frame cycle's step of the engine, skipped while paused.
    void advance();

    bool paused() const;
    // Pauses, or resumes with a whole frame time for the frame on show.
    void togglePause();
    // While paused: one frame forward by the engine's own rules (an anime that runs
    // out loops or returns), one frame back, not before frame 1, or back to frame 1.
    void stepForward();
    void stepBack();
    void home();
    // Pauses, unless paused already, and puts that frame of the running anime on show;
    // resuming goes on from it.
    void showFrame(int32_t frame);

    QAction* pauseAction = nullptr;
    QAction* stepForwardAction = nullptr;
    QAction* stepBackAction = nullptr;
    QAction* firstFrameAction = nullptr;

private:
    void pausedChanged(bool paused);

    std::function<Tqpchr*()> engine_;
};
