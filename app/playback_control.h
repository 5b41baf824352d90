// Pause and single steps of the running anime, on Space, Left, Right and Home in the
// main window and the zoomed view.
#pragma once

#include <QObject>

class QWidget;
class TForm1;

class PlaybackControl : public QObject {
public:
    // Takes the keys in the form's window; the form owns the control.
    explicit PlaybackControl(TForm1& form);

    // Takes the keys in another window too. Keys typed into an edit box stay the box's,
    // and Space on a focused button or check box still presses it.
    void takeKeys(QWidget* window);

    // One frame cycle's step of the engine, skipped while paused.
    void advance();

    bool paused() const { return paused_; }
    // Space: pauses, or resumes with a whole frame time for the frame on show.
    void togglePause();
    // Right and Left while paused: one frame forward by the engine's own rules (an
    // anime that runs out loops or returns), or one frame back, not before frame 1.
    void stepForward();
    void stepBack();
    // Home: back to frame 1.
    void home();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm1& form_;
    bool paused_ = false;
};
