// The CG sheet: a window of the menu "表示" showing the engine's CG with its cells, where
// a click types a cell's number into the list box last in use and a drag copies a new
// cell line; tabs show the definition's other pictures.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class CgSheetView;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QTabWidget;
class TDDDDSurface;
class Tqpchr;

class CgSheet : public QWidget {
public:
    // Adds "CGシート" to the end of menu, after a separator. The window, owned by parent,
    // stays hidden until the item is chosen. boxes are the list boxes pedit1, pedit2,
    // ledit1 and ledit2, into which a click on a cell types; typed(b) follows each
    // click that typed into box b, so that the window's caret check looks at it again.
    CgSheet(QWidget& parent, QMenu& menu, std::function<const Tqpchr&()> engine, std::array<QLineEdit*, 4> boxes,
            std::function<void(size_t)> typed);

    // One frame cycle: nothing while hidden or while the frame and the CG stay as they
    // were; else the marks follow the frame, and a new CG is shown whole.
    void refresh();
    // A definition was loaded: its cells and its other pictures are read again.
    void definitionLoaded();

    CgSheetView* view = nullptr;
    QAction* showAction = nullptr;
    QTabWidget* tabs = nullptr;
    QLabel* status = nullptr;
    QLabel* facePicture = nullptr;
    QLabel* selectCgPicture = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showCg(const Tqpchr& chr);
    // What a click on that CG pixel and a drag over that area of CG pixels do.
    void clickPixel(QPoint pixel);
    void dragArea(const QRect& area);
    void hover(std::optional<QPoint> pixel);
    // The number of the cell a click on the pixel takes, 0 for none.
    int cellAt(QPoint pixel) const;

    std::function<const Tqpchr&()> engine_;
    std::array<QLineEdit*, 4> boxes_;
    std::function<void(size_t)> typed_;
    size_t lastBox_ = 0;  // the box that last had the focus
    // The entry the last click typed: its box, where it begins and how long it is.
    struct Typed {
        QLineEdit* box;
        int at, length;
    };
    std::optional<Typed> lastTyped_;
    bool picturesRead_ = false;  // the other pictures' tabs show the loaded definition's
    QScrollArea* scroller_ = nullptr;
    // What the sheet shows, compared on every cycle.
    struct Shown {
        const TDDDDSurface* surface;
        int32_t cgage;
        int32_t anime, frame;
        bool operator==(const Shown&) const = default;
    } shown_{nullptr, 0, -1, -1};
};
