// The main window as designed: frame, menu, font, and every control's name, place,
// size, caption, font size, tab order, length limit, design text and state.
#include "support/form_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {

struct Control {
    const char* name;
    QRect place;  // a label's width and height are its text's
    const char* text;
    int fontPixels;
    bool enabled;
    int maxLength;  // edit boxes; 0 for no limit
};

const Control controls[] = {
    {"Button1", {0, 40, 49, 25}, "通常１", 12, false, 0},
    {"Button2", {48, 40, 49, 25}, "通常２", 12, false, 0},
    {"Button15", {0, 64, 49, 25}, "勝ち", 12, false, 0},
    {"Button16", {48, 64, 49, 25}, "負け", 12, false, 0},
    {"Button17", {0, 88, 49, 25}, "完全勝利", 11, false, 0},
    {"Button5", {48, 88, 49, 25}, "立ち", 12, false, 0},
    {"Button3", {0, 112, 49, 25}, "おじゃま", 12, false, 0},
    {"Button18", {48, 112, 49, 25}, "邪魔され中", 9, false, 0},
    {"Button6", {0, 147, 49, 25}, "喜び１", 12, false, 0},
    {"Button7", {48, 147, 49, 25}, "喜び２", 12, false, 0},
    {"Button8", {0, 171, 49, 25}, "喜び３", 12, false, 0},
    {"Button10", {48, 171, 49, 25}, "ﾀﾞﾒｰｼﾞ１", 12, false, 0},
    {"Button11", {0, 195, 49, 25}, "ﾀﾞﾒｰｼﾞ２", 12, false, 0},
    {"Button12", {48, 195, 49, 25}, "ﾀﾞﾒｰｼﾞ３", 12, false, 0},
    {"Button4", {0, 219, 49, 25}, "ミス", 12, false, 0},
    {"reload", {0, 0, 97, 17}, "再読込み", 12, false, 0},
    {"CGreload", {0, 16, 97, 17}, "ＣＧ再読込み", 12, false, 0},
    {"buttonck", {0, 296, 75, 17}, "ﾊﾟﾀｰﾝﾁｪｯｸ", 12, false, 0},
    {"clipper", {136, 296, 75, 17}, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ", 12, true, 0},
    {"setbutton", {236, 296, 33, 17}, "セット", 12, true, 0},
    {"CheckBox2", {50, 224, 47, 17}, "ﾙｰﾌﾟ", 12, true, 0},
    {"CheckBox1", {82, 296, 55, 17}, "ﾙｰﾌﾟ", 12, true, 0},
    {"Edit1", {64, 272, 33, 20}, "100", 12, true, 3},
    {"Edit3", {213, 295, 20, 20}, "0", 12, true, 2},
    {"pedit1", {32, 316, 201, 20}, "", 12, true, 0},
    {"pedit2", {32, 336, 201, 20}, "", 12, true, 0},
    {"ledit1", {32, 360, 201, 20}, "", 12, true, 0},
    {"ledit2", {32, 380, 201, 20}, "", 12, true, 0},
    {"clipptemp", {176, 0, 73, 20}, "", 12, true, 0},
    {"Label1", {0, 250, 0, 0}, "名前", 16, true, 0},
    {"Label3", {0, 274, 0, 0}, "Anime", 16, true, 0},
    {"Label2", {104, 272, 0, 0}, "状態", 21, true, 0},
    {"plabel1", {0, 320, 0, 0}, "パ・元", 12, true, 0},
    {"plabel2", {0, 340, 0, 0}, "パ･先", 12, true, 0},
    {"llabel1", {0, 364, 0, 0}, "レ・元", 12, true, 0},
    {"llabel2", {0, 384, 0, 0}, "レ・先", 12, true, 0},
    {"ppoint1", {235, 320, 0, 0}, "0/0", 12, true, 0},
    {"ppoint2", {235, 340, 0, 0}, "0/0", 12, true, 0},
    {"lpoint1", {235, 364, 0, 0}, "0/0", 12, true, 0},
    {"lpoint2", {235, 384, 0, 0}, "0/0", 12, true, 0},
};

const char* const tabOrder[] = {
    "Button1", "Button2", "Button15", "Button16", "Button6", "Button7", "Button8", "Button10", "Button11", "Button12",
    "Button4", "reload", "CGreload", "CheckBox1", "CheckBox2", "Edit1", "buttonck", "clipper", "pedit1", "pedit2",
    "ledit1", "ledit2", "Edit3", "setbutton", "clipptemp", "Button17", "Button5", "Button3", "Button18",
};

QString textOf(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    return qobject_cast<const QLabel*>(widget)->text();
}

using FormLayoutTest = FormTest;

TEST_F(FormLayoutTest, EveryControlIsWhereTheDesignPutsItWithItsCaptionWholeAndClearOfTheView)
{
    open();
    const QWidget* view = form->host().viewWidget();
    EXPECT_EQ(view->geometry(), QRect(104, 0, 167, 271));
    for (const Control& c : controls) {
        SCOPED_TRACE(c.name);
        const QWidget* widget = form->findChild<QWidget*>(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), form->centralWidget());
        EXPECT_EQ(widget->pos(), c.place.topLeft());
        if (c.place.width() > 0) {
            EXPECT_EQ(widget->size(), c.place.size());
        }
        const QString text = textOf(widget);
        EXPECT_EQ(text.toStdString(), c.text);
        EXPECT_EQ(widget->font().pixelSize(), c.fontPixels);
        EXPECT_EQ(widget->isEnabled(), c.enabled);
        if (auto* edit = qobject_cast<QLineEdit*>(form->findChild<QWidget*>(c.name))) {
            // Typing stops at the design's limit; a list takes whatever its author types or pastes.
            edit->clear();
            QTest::keyClicks(edit, "0123456789");
            EXPECT_EQ(edit->text().size(), c.maxLength ? c.maxLength : 10);
            if (!c.maxLength) {
                EXPECT_GT(edit->maxLength(), 1 << 24);
            }
            edit->setText(QString::fromUtf8(c.text));
        }
        if (widget->isVisibleTo(form.get())) {
            EXPECT_FALSE(widget->geometry().intersects(view->geometry()));
        }

        const QFontMetrics metrics(widget->font());
        const int textWidth = metrics.horizontalAdvance(text);
        if (qobject_cast<const QLabel*>(widget)) {
            EXPECT_GE(widget->width(), textWidth);
            EXPECT_LE(widget->geometry().right(), form->centralWidget()->width());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            // The text of a button is centred in the control with a pixel to spare.
            EXPECT_LE(textWidth + 2, button->width() - (qobject_cast<const QCheckBox*>(widget) ? 16 : 0));
            EXPECT_LE(metrics.height(), button->height());
        }
        // Every character comes from a font that has it: none is drawn as a box.
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [&](QChar ch) { return metrics.inFont(ch); }));
    }
    EXPECT_FALSE(form->clipptemp->isVisibleTo(form.get()));

    // Screen readers name each box by the caption beside it, and the view.
    const std::pair<const QWidget*, const char*> named[] = {{form->Edit1, "Anime"},   {form->Edit3, "アニメ番号"},
                                                      {form->pedit1, "パ・元"}, {form->pedit2, "パ･先"},
                                                      {form->ledit1, "レ・元"}, {form->ledit2, "レ・先"},
                                                      {view, "キャラクター表示"}};
    for (const auto& [widget, name] : named) EXPECT_EQ(widget->accessibleName().toStdString(), name) << widget->objectName().toStdString();
}

TEST_F(FormLayoutTest, TabOrderFollowsTheDesign)
{
    open();
    QWidget* widget = form->findChild<QWidget*>("Button1");
    for (const char* name : tabOrder) {
        EXPECT_EQ(widget->objectName().toStdString(), name);
        do widget = widget->nextInFocusChain();
        while (widget->objectName().isEmpty() || widget->objectName() == "view" || widget->objectName() == "client" ||
               !form->centralWidget()->isAncestorOf(widget));
    }
}

TEST_F(FormLayoutTest, WindowHasItsFixedFrameMenuFontAndIcon)
{
    open();
    EXPECT_EQ(form->windowTitle(), "Pomelune!");
    EXPECT_EQ(form->centralWidget()->size(), QSize(272, 402));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->pos(), QPoint(206, 236));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form->windowIcon().isNull());
    const QString family = QFontInfo(form->font()).family();
    EXPECT_TRUE(family == "ＭＳ Ｐゴシック" || family == "IPAPGothic") << family.toStdString();
    EXPECT_EQ(form->font().pixelSize(), 12);

    EXPECT_EQ(form->N1->title(), "設定");
    EXPECT_EQ(form->MainMenu1->actions().first(), form->N1->menuAction());  // extra menus follow it
    EXPECT_EQ(form->N1->actions().first(), form->autocgload);  // extra items follow it
    EXPECT_EQ(form->autocgload->text(), "自動ＣＧ再読込");
    EXPECT_EQ(std::pair(form->autocgload->isCheckable(), form->autocgload->isChecked()), std::pair(true, false));
    form->autocgload->trigger();
    EXPECT_TRUE(form->autocgload->isChecked());
    form->autocgload->trigger();
    EXPECT_FALSE(form->autocgload->isChecked());
}

TEST_F(FormLayoutTest, EveryStatusTextFitsBesideTheLabelsPlace)
{
    open();
    for (int anime : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 15, 16, 17, 18, 30}) {
        form->chr->anime = anime;
        turns(1);
        const QLabel* status = form->Label2;
        EXPECT_GE(status->width(), QFontMetrics(status->font()).horizontalAdvance(status->text())) << anime;
        EXPECT_LE(status->geometry().right(), form->centralWidget()->width() - 1) << status->text().toStdString();
        // Only the longest text needs a smaller size than the design's.
        EXPECT_EQ(status->font().pixelSize() == 21, anime != 18) << anime;
    }
}

}  // namespace
