// The timeline's window: its menu item, the strip of frame cells with their pictures
// drawn by the engine, the highlight of the frame on show and the click that shows one.
#include "app/timeline_view.h"

#include "app/anime_status.h"
#include "app/playback_control.h"
#include "app/render_frames.h"
#include "app/window_item.h"
#include "display/offscreen_display.h"
#include "platform/scope_guard.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int PictureScale = 2;  // a picture is the view at half its size
// The pictures of one strip together; a longer anime or a wider view gets none.
constexpr int64_t MaxPicturePixels = int64_t{1} << 24;
constexpr int Padding = 4;
constexpr QSize OpeningSize(720, 260);
const QColor LoopColour(0xC0, 0x50, 0x00);
const QString LoopMark = "#LOOP";

// An entry as the lists write it, a two-digit upper-case hex pair; "--" where the
// frame has none (the tables' -1) or the number is no cell.
QString entryText(int32_t value)
{
    if (value < 0 || value >= Tqpchr::PatternCount) return "--";
    return QString("%1").arg(value, 2, 16, QChar('0')).toUpper();
}

// The view of frames 1 to count of the anime, each drawn by the engine as the window
// draws it, on a display of its own, and halved; none when they would be too large.
std::vector<QImage> framePictures(Tqpchr& chr, int32_t anime, int32_t count)
{
    const QSize size(std::max(1, chr.viewwidth / PictureScale), Tqpchr::ViewHeight / PictureScale);
    if (chr.viewwidth < 1 || chr.viewwidth > maxViewWidth ||
        int64_t{size.width()} * size.height() * count > MaxPicturePixels)
        return {};
    const ScopeGuard keepFrame([&chr, anime = chr.anime, frame = chr.frame] {
        chr.anime = anime;
        chr.frame = frame;
    });
    OffscreenDisplay display;
    TDDDDGenSurface& target = display.makeBackBuffer(chr.viewwidth, Tqpchr::ViewHeight);
    std::vector<QImage> pictures;
    chr.anime = anime;
    for (int32_t frame = 1; frame <= count; ++frame) {
        chr.frame = frame;
        pictures.push_back(drawView(chr, target).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    return pictures;
}

}  // namespace

// One frame of the strip: its picture, number and entries, painted; the loop frame
// carries "#LOOP" and the frame on show the highlight.
class TimelineFrame : public QWidget {
public:
    TimelineFrame(QWidget& parent, int32_t number, QImage picture, const QString& pattern, const QString& layer,
                  bool loop, std::function<void(int32_t)> clicked)
            : QWidget(&parent),
              number_(number),
              picture_(std::move(picture)),
              lines_{QString::number(number), pattern, layer},
              loop_(loop),
              clicked_(std::move(clicked))
    {
        setObjectName("timelineFrame");
        setAccessibleName(QString("frame %1").arg(number));
        setAccessibleDescription(pattern + " " + layer + (loop ? " " + LoopMark : ""));
        setCursor(Qt::PointingHandCursor);
        const QFontMetrics metrics(font());
        int width = picture_.width();
        for (const QString& line : lines_) width = std::max(width, metrics.horizontalAdvance(line));
        width = std::max(width, metrics.horizontalAdvance(LoopMark));
        const int lines = static_cast<int>(lines_.size()) + 1;
        setFixedSize(width + 2 * Padding, picture_.height() + lines * metrics.lineSpacing() + 3 * Padding);
    }

    void setCurrent(bool current)
    {
        current_ = current;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QPalette& colours = palette();
        painter.fillRect(rect(), current_ ? colours.highlight() : colours.base());
        painter.drawImage((width() - picture_.width()) / 2, Padding, picture_);
        const QFontMetrics metrics(font());
        int baseline = Padding * 2 + picture_.height() + metrics.ascent();
        painter.setPen(current_ ? colours.highlightedText().color() : colours.text().color());
        for (const QString& line : lines_) {
            painter.drawText(Padding, baseline, line);
            baseline += metrics.lineSpacing();
        }
        if (!loop_) return;
        painter.setPen(LoopColour);
        painter.drawText(Padding, baseline, LoopMark);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) clicked_(number_);
    }

private:
    int32_t number_;
    QImage picture_;
    std::array<QString, 3> lines_;
    bool loop_;
    bool current_ = false;
    std::function<void(int32_t)> clicked_;
};

TimelineView::TimelineView(QWidget& parent, QMenu& menu, std::function<Tqpchr&()> engine, PlaybackControl& playback)
        : QWidget(&parent, Qt::Window),
          engine_(std::move(engine)),
          playback_(playback),
          header_(new QLabel(this)),
          strip_(new QScrollArea(this))
{
    setObjectName("timelineView");
    setAccessibleName("タイムライン");
    resize(OpeningSize);
    header_->setObjectName("timelineHeader");
    strip_->setObjectName("timelineStrip");
    strip_->setAccessibleName("コマ");
    strip_->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header_);
    layout->addWidget(strip_, 1);

    showAction = addWindowItem(menu, "タイムライン", "timelineAction", *this);
}

TimelineView::Source TimelineView::sourceOf(const Tqpchr& chr)
{
    Source source;
    source.anime = chr.anime;
    const Tqpchr::FrameTable* tables[] = {&chr.patsrc, &chr.patdst, &chr.laysrc, &chr.laydst};
    for (size_t t = 0; t < source.lists.size(); ++t)
        for (int32_t frame = 0; frame < Tqpchr::FrameCount; ++frame)
            source.lists[t][static_cast<size_t>(frame)] = Tqpchr::entry(*tables[t], chr.anime, frame);
    const bool known = chr.anime >= 0 && chr.anime < Tqpchr::AnimeCount;
    source.patdstused = known && chr.patdstused[static_cast<size_t>(chr.anime)];
    source.loopframe = known ? chr.loopframe[static_cast<size_t>(chr.anime)] : -1;
    source.viewwidth = chr.viewwidth;
    source.cg = chr.cgsurface.get();
    source.cgage = chr.cgage;
    return source;
}

// Comparing what the strip was built from costs one pass over the anime's four lists.
void TimelineView::refresh()
{
    if (!isVisible()) return;
    Tqpchr& chr = engine_();
    Source now = sourceOf(chr);
    if (stale_ || now != source_) {
        stale_ = false;
        source_ = std::move(now);
        rebuild(chr);
    }
    follow(chr);
}

// The strip is emptied first: pictures that fail to draw leave it empty and are tried
// again only when what they show changes.
void TimelineView::rebuild(Tqpchr& chr)
{
    const int32_t anime = source_.anime;
    const QString& status = animeStatusText(anime);
    setWindowTitle("タイムライン — " + (status.isEmpty() ? QString("anime %1").arg(anime) : status));
    frames_.clear();
    delete strip_->takeWidget();
    highlighted_ = 0;
    shownHeader_ = {-1, 0};

    const int32_t count = chr.animeFrames(anime);
    const std::vector<QImage> pictures = framePictures(chr, anime, count);
    auto* row = new QWidget;
    row->setObjectName("timelineFrames");
    auto* layout = new QHBoxLayout(row);
    layout->setSpacing(Padding);
    const auto& [patsrc, patdst, laysrc, laydst] = source_.lists;
    for (int32_t frame = 1; frame <= count; ++frame) {
        const auto f = static_cast<size_t>(frame);
        const QString pattern = "パ " + entryText(patsrc[f]) + "/" + entryText(source_.patdstused ? patdst[f] : -1);
        const QString layer = "レ " + entryText(laysrc[f]) + "/" + entryText(laydst[f]);
        frames_.push_back(new TimelineFrame(*row, frame, pictures.empty() ? QImage() : pictures[f - 1], pattern, layer,
                                            frame == source_.loopframe, [this](int32_t k) { frameClicked(k); }));
        layout->addWidget(frames_.back());
    }
    layout->addStretch(1);
    strip_->setWidget(row);
    row->show();
}

void TimelineView::follow(const Tqpchr& chr)
{
    const Header now{chr.frame, chr.framewait};
    if (now == shownHeader_) return;
    shownHeader_ = now;
    const auto count = static_cast<int32_t>(frames_.size());
    const int64_t length = int64_t{count} * std::max(chr.framewait, 0);
    header_->setText(QString("frame %1 / %2 — %3 ms").arg(chr.frame).arg(count).arg(length));
    const int32_t current = chr.frame >= 1 && chr.frame <= count ? chr.frame : 0;
    if (current == highlighted_) return;
    if (highlighted_ != 0) frames_[static_cast<size_t>(highlighted_ - 1)]->setCurrent(false);
    highlighted_ = current;
    if (current == 0) return;
    TimelineFrame* shown = frames_[static_cast<size_t>(current - 1)];
    shown->setCurrent(true);
    // Only a paused anime brings its frame into sight, so that the strip can be
    // scrolled while it plays.
    if (playback_.paused()) strip_->ensureWidgetVisible(shown);
}

// A click that comes after the anime changed, before the strip follows it, is ignored.
void TimelineView::frameClicked(int32_t frame)
{
    const Tqpchr& chr = engine_();
    if (chr.anime != source_.anime) return;
    playback_.showFrame(frame);
    follow(chr);
}
