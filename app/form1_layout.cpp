// The main window's design: its frame, font and menu, every control with its name,
// caption, place, size, font, tab order and design state, and the wiring of each
// control to its handler.
#include "app/form1.h"

#include "app/form1_design.h"
#include "app/qt_window_host.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QValidator>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr int ClientWidth = 272;
constexpr int ClientHeight = 402;
constexpr int DesignLeft = 206;
constexpr int DesignTop = 236;
constexpr int WindowFontPixels = 12;
constexpr int AnimeButtonWidth = 49;
constexpr int AnimeButtonHeight = 25;

struct Place {
    int left, top, width, height;
};

struct ButtonDesign {
    QPushButton* TForm1::*member;
    const char* name;
    const char* caption;
    Place place;
    int tabOrder;
    int fontPixels;
    bool enabled;
};

// One row a button, as the design lays them out; kept on one line each.
// clang-format off
const ButtonDesign buttonDesigns[] = {
    {&TForm1::Button1, "Button1", "通常１", {0, 40, AnimeButtonWidth, AnimeButtonHeight}, 0, WindowFontPixels, false},
    {&TForm1::Button2, "Button2", "通常２", {48, 40, AnimeButtonWidth, AnimeButtonHeight}, 1, WindowFontPixels, false},
    {&TForm1::Button15, "Button15", "勝ち", {0, 64, AnimeButtonWidth, AnimeButtonHeight}, 2, WindowFontPixels, false},
    {&TForm1::Button16, "Button16", "負け", {48, 64, AnimeButtonWidth, AnimeButtonHeight}, 3, WindowFontPixels, false},
    {&TForm1::Button17, "Button17", "完全勝利", {0, 88, AnimeButtonWidth, AnimeButtonHeight}, 25, 11, false},
    {&TForm1::Button5, "Button5", "立ち", {48, 88, AnimeButtonWidth, AnimeButtonHeight}, 26, WindowFontPixels, false},
    {&TForm1::Button3, "Button3", "おじゃま", {0, 112, AnimeButtonWidth, AnimeButtonHeight}, 27, WindowFontPixels, false},
    {&TForm1::Button18, "Button18", "邪魔され中", {48, 112, AnimeButtonWidth, AnimeButtonHeight}, 28, 9, false},
    {&TForm1::Button6, "Button6", "喜び１", {0, 147, AnimeButtonWidth, AnimeButtonHeight}, 4, WindowFontPixels, false},
    {&TForm1::Button7, "Button7", "喜び２", {48, 147, AnimeButtonWidth, AnimeButtonHeight}, 5, WindowFontPixels, false},
    {&TForm1::Button8, "Button8", "喜び３", {0, 171, AnimeButtonWidth, AnimeButtonHeight}, 6, WindowFontPixels, false},
    {&TForm1::Button10, "Button10", "ﾀﾞﾒｰｼﾞ１", {48, 171, AnimeButtonWidth, AnimeButtonHeight}, 7, WindowFontPixels, false},
    {&TForm1::Button11, "Button11", "ﾀﾞﾒｰｼﾞ２", {0, 195, AnimeButtonWidth, AnimeButtonHeight}, 8, WindowFontPixels, false},
    {&TForm1::Button12, "Button12", "ﾀﾞﾒｰｼﾞ３", {48, 195, AnimeButtonWidth, AnimeButtonHeight}, 9, WindowFontPixels, false},
    {&TForm1::Button4, "Button4", "ミス", {0, 219, AnimeButtonWidth, AnimeButtonHeight}, 10, WindowFontPixels, false},
    {&TForm1::reload, "reload", "再読込み", {0, 0, 97, 17}, 11, WindowFontPixels, false},
    {&TForm1::CGreload, "CGreload", "ＣＧ再読込み", {0, 16, 97, 17}, 12, WindowFontPixels, false},
    {&TForm1::buttonck, "buttonck", "ﾊﾟﾀｰﾝﾁｪｯｸ", {0, 296, 75, 17}, 16, WindowFontPixels, false},
    {&TForm1::clipper, "clipper", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ", {136, 296, 75, 17}, 17, WindowFontPixels, true},
    {&TForm1::setbutton, "setbutton", "セット", {236, 296, 33, 17}, 23, WindowFontPixels, true},
};
// clang-format on

struct CheckBoxDesign {
    QCheckBox* TForm1::*member;
    const char* name;
    Place place;
    int tabOrder;
};

const CheckBoxDesign checkBoxDesigns[] = {
    {&TForm1::CheckBox2, "CheckBox2", {50, 224, 47, 17}, 14},
    {&TForm1::CheckBox1, "CheckBox1", {82, 296, 55, 17}, 13},
};

struct EditDesign {
    QLineEdit* TForm1::*member;
    const char* name;
    const char* text;
    Place place;
    int tabOrder;
    int maxLength;  // 0: no limit
    const char* accessibleName;  // the caption beside the box, as screen readers say it
};

const EditDesign editDesigns[] = {
    {&TForm1::Edit1, "Edit1", "100", {64, 272, 33, 20}, 15, FrameTimeMaxLength, "Anime"},
    {&TForm1::Edit3, "Edit3", "0", {213, 295, 20, 20}, 22, 2, "アニメ番号"},
    {&TForm1::pedit1, "pedit1", "", {32, 316, 201, 20}, 18, 0, "パ・元"},
    {&TForm1::pedit2, "pedit2", "", {32, 336, 201, 20}, 19, 0, "パ･先"},
    {&TForm1::ledit1, "ledit1", "", {32, 360, 201, 20}, 20, 0, "レ・元"},
    {&TForm1::ledit2, "ledit2", "", {32, 380, 201, 20}, 21, 0, "レ・先"},
    {&TForm1::clipptemp, "clipptemp", "", {176, 0, 73, 20}, 24, 0, ""},
};

struct LabelDesign {
    QLabel* TForm1::*member;
    const char* name;
    const char* caption;
    int left, top;
    int fontPixels;
};

const LabelDesign labelDesigns[] = {
    {&TForm1::Label1, "Label1", "名前", 0, 250, 16},
    {&TForm1::Label3, "Label3", "Anime", 0, 274, 16},
    {&TForm1::Label2, "Label2", "状態", 104, 272, 21},
    {&TForm1::plabel1, "plabel1", "パ・元", 0, 320, WindowFontPixels},
    {&TForm1::plabel2, "plabel2", "パ･先", 0, 340, WindowFontPixels},
    {&TForm1::llabel1, "llabel1", "レ・元", 0, 364, WindowFontPixels},
    {&TForm1::llabel2, "llabel2", "レ・先", 0, 384, WindowFontPixels},
    {&TForm1::ppoint1, "ppoint1", "0/0", 235, 320, WindowFontPixels},
    {&TForm1::ppoint2, "ppoint2", "0/0", 235, 340, WindowFontPixels},
    {&TForm1::lpoint1, "lpoint1", "0/0", 235, 364, WindowFontPixels},
    {&TForm1::lpoint2, "lpoint2", "0/0", 235, 384, WindowFontPixels},
};

// The design's font "ＭＳ Ｐゴシック", or the installed Japanese gothic in its place.
QFont designFont(int pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(pixels);
    return font;
}

// A typing limit that a text set by the program may exceed, as the design's limit
// of the frame time box lets a loaded 1000 show whole: typing may make the text
// shorter, but never longer than the limit.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* edit, int limit)
            : QValidator(edit),
              limit_(limit),
              length_(static_cast<int>(edit->text().size()))
    {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { length_ = static_cast<int>(text.size()); });
    }
    State validate(QString& input, int&) const override
    {
        return input.size() > limit_ && input.size() > length_ ? Invalid : Acceptable;
    }
    // The program is about to set a text of that length.
    void allow(int length) { length_ = length; }

private:
    int limit_;
    int length_;  // of the text before the change
};

void place(QWidget* widget, const char* name, const Place& at, int fontPixels)
{
    widget->setObjectName(name);
    widget->setGeometry(at.left, at.top, at.width, at.height);
    if (fontPixels != WindowFontPixels) widget->setFont(designFont(fontPixels));
}

}  // namespace

void TForm1::createControls()
{
    setWindowTitle("Pomelune!");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(":/pomelune/icon/pomelune.png"));
    setFont(designFont(WindowFontPixels));

    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    N1 = MainMenu1->addMenu("設定");
    N1->setObjectName("N1");
    autocgload = N1->addAction("自動ＣＧ再読込");
    autocgload->setObjectName("autocgload");
    autocgload->setCheckable(true);

    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    std::vector<std::pair<int, QWidget*>> tabOrder;
    for (const ButtonDesign& design : buttonDesigns) {
        auto* button = new QPushButton(design.caption, client);
        place(button, design.name, design.place, design.fontPixels);
        button->setEnabled(design.enabled);
        this->*design.member = button;
        tabOrder.emplace_back(design.tabOrder, button);
    }
    for (const CheckBoxDesign& design : checkBoxDesigns) {
        auto* box = new QCheckBox("ﾙｰﾌﾟ", client);
        place(box, design.name, design.place, WindowFontPixels);
        this->*design.member = box;
        tabOrder.emplace_back(design.tabOrder, box);
    }
    for (const EditDesign& design : editDesigns) {
        auto* edit = new QLineEdit(design.text, client);
        place(edit, design.name, design.place, WindowFontPixels);
        // Qt cuts a text at 32767 characters unless told otherwise; a list is as
        // long as its author makes it.
        edit->setMaxLength(std::numeric_limits<int>::max());
        if (design.maxLength > 0) edit->setValidator(new TypingLimit(edit, design.maxLength));
        edit->setAccessibleName(design.accessibleName);
        edit->installEventFilter(this);
        this->*design.member = edit;
        tabOrder.emplace_back(design.tabOrder, edit);
    }
    for (const LabelDesign& design : labelDesigns) {
        auto* label = new QLabel(design.caption, client);
        label->setObjectName(design.name);
        // A character's name is shown as it stands, never as markup.
        label->setTextFormat(Qt::PlainText);
        if (design.fontPixels != WindowFontPixels) label->setFont(designFont(design.fontPixels));
        label->move(design.left, design.top);
        label->adjustSize();
        this->*design.member = label;
    }
    // The text box that carries text to the clipboard is never shown.
    clipptemp->hide();

    std::sort(tabOrder.begin(), tabOrder.end());
    for (size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    move(DesignLeft, DesignTop);
    layout()->activate();
}

void setEditText(QLineEdit& edit, const QString& text)
{
    if (auto* limit = dynamic_cast<TypingLimit*>(const_cast<QValidator*>(edit.validator())))
        limit->allow(static_cast<int>(text.size()));
    edit.setText(text);
    edit.setCursorPosition(0);
}

void TForm1::connectHandlers()
{
    const auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); };
    };
    for (const AnimeButton& anime : animeButtons)
        connect(this->*anime.button, &QPushButton::clicked, this, guarded(anime.click));
    connect(reload, &QPushButton::clicked, this, guarded(&TForm1::reloadClick));
    connect(CGreload, &QPushButton::clicked, this, guarded(&TForm1::CGreloadClick));
    connect(buttonck, &QPushButton::clicked, this, guarded(&TForm1::buttonckClick));
    connect(clipper, &QPushButton::clicked, this, guarded(&TForm1::clipperClick));
    connect(setbutton, &QPushButton::clicked, this, guarded(&TForm1::setbuttonClick));
    connect(CheckBox1, &QCheckBox::toggled, this, guarded(&TForm1::CheckBox1Click));
    connect(CheckBox2, &QCheckBox::toggled, this, guarded(&TForm1::CheckBox2Click));
    connect(Edit1, &QLineEdit::textChanged, this, guarded(&TForm1::Edit1Change));
    // Qt ticks a checkable item before it reports the click; the handler does the
    // ticking, so the item is first put back as it was.
    connect(autocgload, &QAction::triggered, this, [this](bool ticked) {
        autocgload->setChecked(!ticked);
        runGuarded([this] { autocgloadClick(); });
    });
}
