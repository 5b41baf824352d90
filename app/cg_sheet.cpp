// The CG sheet's window: its menu item, title, tabs and status line, the CG and its
// cells read from the engine, a click typing a cell's pair and a drag copying a cell line.
#include "app/cg_sheet.h"

#include "app/cg_sheet_view.h"
#include "app/surface_image.h"
#include "app/window_item.h"
#include "chr/cg_check.h"
#include "chr/qpchr.h"
#include "platform/exception.h"
#include "platform/text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace {

constexpr QSize OpeningSize(480, 400);
// The cell numbers a "#NN" line can give: two decimal digits, or two hex digits
// after "#DATA 16".
constexpr int LastDecimalCell = 99;
constexpr int LastHexCell = Tqpchr::PatternCount - 1;

QString fileNameOf(const std::string& path)
{
    return QString::fromStdString(displayText(std::filesystem::path(path).filename().string()));
}

QString pairOf(int number) { return QString("%1").arg(number, 2, 16, QChar('0')).toUpper(); }

bool hasArea(const Rect& cell) { return cell.width() > 0 && cell.height() > 0; }

bool holds(const Rect& cell, QPoint pixel)
{
    return pixel.x() >= cell.left && pixel.x() < cell.right && pixel.y() >= cell.top && pixel.y() < cell.bottom;
}

// A picture the definition names, read as the CG is read; "なし" for none, the file's
// error when it cannot be read.
void showPicture(QLabel& label, const Tqpchr& chr, const std::string& file)
{
    label.clear();
    if (file.empty()) return label.setText("なし");
    try {
        const BitmapHeader header = readCgHeader(file);
        TDDDDSurface surface(chr.display, header.width, header.height, 0);
        surface.LoadBMP(file);
        label.setPixmap(QPixmap::fromImage(surfaceImage(surface, false)));
    } catch (const Exception& error) {
        label.setText(QString::fromStdString(error.messageWithReason()));
    }
}

QLabel* addPictureTab(QTabWidget& tabs, const char* name, const char* title)
{
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    auto* scroller = new QScrollArea;
    scroller->setWidget(label);
    scroller->setWidgetResizable(true);
    tabs.addTab(scroller, title);
    return label;
}

// The key a person presses for a digit or an upper-case hex letter.
Qt::Key keyOf(QChar c)
{
    return c.isDigit() ? Qt::Key(Qt::Key_0 + c.digitValue()) : Qt::Key(Qt::Key_A + (c.unicode() - 'A'));
}

}  // namespace

CgSheet::CgSheet(QWidget& parent, QMenu& menu, std::function<const Tqpchr&()> engine, std::array<QLineEdit*, 4> boxes,
                 std::function<void(size_t)> typed)
        : QWidget(&parent, Qt::Window),
          engine_(std::move(engine)),
          boxes_(boxes),
          typed_(std::move(typed))
{
    setObjectName("cgSheet");
    setAccessibleName("CGシート");
    setWindowTitle("CGシート");
    resize(OpeningSize);

    view = new CgSheetView(nullptr);
    view->onHover = [this](std::optional<QPoint> pixel) { hover(pixel); };
    view->onClick = [this](QPoint pixel) { clickPixel(pixel); };
    view->onBand = [this](QRect area) { dragArea(area); };
    scroller_ = new QScrollArea;
    scroller_->setObjectName("cgSheetScroller");
    scroller_->setWidget(view);
    scroller_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tabs = new QTabWidget;
    tabs->setObjectName("cgSheetTabs");
    tabs->setAccessibleName("CGシートの絵");
    tabs->addTab(scroller_, "CG");
    facePicture = addPictureTab(*tabs, "facePicture", "#CHARFACE");
    selectCgPicture = addPictureTab(*tabs, "selectCgPicture", "#SELECTCG");
    status = new QLabel;
    status->setObjectName("cgSheetStatus");
    status->setAccessibleName("CGシートの状態");
    status->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(status);

    for (QLineEdit* box : boxes_) box->installEventFilter(this);

    menu.addSeparator();
    showAction = addWindowItem(menu, "CGシート", "cgSheetAction", *this);
}

void CgSheet::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
}

// The pictures are read when the window next shows, so that a load costs nothing more
// while it is closed.
void CgSheet::definitionLoaded()
{
    picturesRead_ = false;
    // The cells may have changed under the same CG.
    shown_.surface = nullptr;
    refresh();
}

void CgSheet::refresh()
{
    if (!isVisible()) return;
    const Tqpchr& chr = engine_();
    if (!picturesRead_) {
        picturesRead_ = true;
        showPicture(*facePicture, chr, chr.facefile);
        showPicture(*selectCgPicture, chr, chr.selectcgfile);
    }
    const Shown now{chr.cgsurface.get(), chr.cgage, chr.anime, chr.frame};
    if (now == shown_) return;
    if (now.surface != shown_.surface || now.cgage != shown_.cgage) showCg(chr);
    shown_ = now;
    const auto cell = [&](const Tqpchr::FrameTable& table) {
        const int32_t number = Tqpchr::entry(table, chr.anime, chr.frame);
        return number >= 1 && number < Tqpchr::PatternCount ? number : -1;
    };
    view->setMarks({cell(chr.patsrc), cell(chr.laysrc)});
}

void CgSheet::showCg(const Tqpchr& chr)
{
    setWindowTitle(chr.cgfile.empty() ? "CGシート" : "CGシート — " + fileNameOf(chr.cgfile));
    std::vector<CgSheetView::Cell> cells;
    for (int n = 1; n < Tqpchr::PatternCount; ++n) {
        const Rect& r = chr.patrect[static_cast<size_t>(n)];
        if (hasArea(r)) cells.push_back({n, QRect(r.left, r.top, r.width(), r.height())});
    }
    view->setPicture(surfaceImage(*chr.cgsurface, true), std::move(cells));
}

int CgSheet::cellAt(QPoint pixel) const
{
    const Tqpchr& chr = engine_();
    int best = 0;
    int64_t bestArea = 0;
    for (int n = 1; n < Tqpchr::PatternCount; ++n) {
        const Rect& r = chr.patrect[static_cast<size_t>(n)];
        if (!hasArea(r) || !holds(r, pixel)) continue;
        const int64_t area = int64_t{r.width()} * r.height();
        if (best == 0 || area < bestArea) {
            best = n;
            bestArea = area;
        }
    }
    return best;
}

void CgSheet::hover(std::optional<QPoint> pixel)
{
    if (!pixel) return status->clear();
    QString text = QString("%1, %2").arg(pixel->x()).arg(pixel->y());
    const QRgb colour = view->picture().pixel(*pixel);
    text +=
        qAlpha(colour) == 0 ? QString("  透過") : QString("  #%1").arg(colour & 0xFFFFFFu, 6, 16, QChar('0')).toUpper();
    const Tqpchr& chr = engine_();
    for (int n = 1; n < Tqpchr::PatternCount; ++n) {
        const Rect& r = chr.patrect[static_cast<size_t>(n)];
        if (hasArea(r) && holds(r, *pixel)) text += "  " + pairOf(n);
    }
    status->setText(text);
}

// The pair goes through the box as two typed keys, so that its caret, selection,
// length limit and validator treat it as they treat typing. The caret then goes back
// to the start of the pair, where the window's caret check shows the entry; a next
// click with the caret still there types after it, so that clicks add entries in order.
void CgSheet::clickPixel(QPoint pixel)
{
    const int number = cellAt(pixel);
    if (number == 0) return;
    QLineEdit* box = boxes_[lastBox_];
    if (lastTyped_ && lastTyped_->box == box && box->cursorPosition() == lastTyped_->at && !box->hasSelectedText())
        box->setCursorPosition(lastTyped_->at + lastTyped_->length);
    const auto before = box->text().size();
    for (const QChar c : pairOf(number)) {
        QKeyEvent press(QEvent::KeyPress, keyOf(c), Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, keyOf(c), Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &release);
    }
    const auto length = static_cast<int>(box->text().size() - before);
    lastTyped_.reset();
    if (length <= 0) return;
    const int at = box->cursorPosition() - length;
    box->setCursorPosition(at);
    lastTyped_ = Typed{box, at, length};
    typed_(lastBox_);
}

void CgSheet::dragArea(const QRect& area)
{
    const Tqpchr& chr = engine_();
    const QString place = QString("%1 %2 %3 %4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
    const int last = chr.datahex ? LastHexCell : LastDecimalCell;
    int free = 1;
    while (free <= last && chr.patrect[static_cast<size_t>(free)] != Rect{}) ++free;
    if (free > last) return status->setText(place + "  空いているセル番号がありません");
    const QString number = chr.datahex ? pairOf(free) : QString("%1").arg(free, 2, 10, QChar('0'));
    QGuiApplication::clipboard()->setText("#" + number + " " + place + "\r\n");
    status->setText(place);
}

bool CgSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        for (size_t b = 0; b < boxes_.size(); ++b)
            if (boxes_[b] == watched) lastBox_ = b;
    return QWidget::eventFilter(watched, event);
}

void CgSheet::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: view->setZoom(view->zoom() + 1); break;
    case Qt::Key_Minus: view->setZoom(view->zoom() - 1); break;
    default: QWidget::keyPressEvent(event);
    }
}
