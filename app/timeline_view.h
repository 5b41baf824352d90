// The timeline: a resizable window, opened from the menu "表示", that lays the running
// anime out frame by frame (a picture of the view, the frame's number and its four list
// entries), marks the frame on show and the loop frame, and puts a clicked frame on show.
#pragma once

#include "chr/qpchr.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class PlaybackControl;
class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class TimelineFrame;

class TimelineView : public QWidget {
public:
    // Adds "タイムライン" at the end of menu. The window, owned by parent, stays hidden
    // until the item is chosen; it shows the anime engine plays, and a click on a frame
    // pauses through playback and puts that frame on show.
    TimelineView(QWidget& parent, QMenu& menu, std::function<Tqpchr&()> engine, PlaybackControl& playback);

    // One frame cycle: nothing while hidden. The strip is built again when the anime,
    // its lists, its loop frame or its pictures changed; otherwise only the highlight
    // and the header follow the frame. Raises Exception when the pictures cannot be drawn.
    void refresh();
    // A definition was loaded: the next refresh builds the strip again.
    void definitionLoaded() { stale_ = true; }

    // The frame highlighted, 0 when the frame on show lies outside the strip.
    int32_t highlighted() const { return highlighted_; }

    QAction* showAction = nullptr;

private:
    // What the strip was built from.
    struct Source {
        int32_t anime = -1;
        std::array<std::array<int32_t, Tqpchr::FrameCount>, 4> lists{};  // patsrc, patdst, laysrc, laydst
        bool patdstused = false;
        int32_t loopframe = -1;
        int32_t viewwidth = 0;
        const TDDDDSurface* cg = nullptr;
        int32_t cgage = 0;
        bool operator==(const Source&) const = default;
    };
    static Source sourceOf(const Tqpchr& chr);

    void rebuild(Tqpchr& chr);
    // The highlight and the header for the frame on show.
    void follow(const Tqpchr& chr);
    void frameClicked(int32_t frame);

    std::function<Tqpchr&()> engine_;
    PlaybackControl& playback_;
    QLabel* header_;
    QScrollArea* strip_;
    std::vector<TimelineFrame*> frames_;  // frame k at k - 1
    Source source_;
    bool stale_ = true;
    int32_t highlighted_ = 0;
    struct Header {
        int32_t frame, framewait;
        bool operator==(const Header&) const = default;
    } shownHeader_{-1, 0};
};
