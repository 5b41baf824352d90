// The main window as a person sees it: every control of its client area shows its whole
// caption in a font that has each of its characters, clear of the view; the fixed frame,
// font, icon and menu; the tab order.
#include "support/form_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

QString textOf(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    return {};
}

using FormLayoutTest = FormTest;

TEST_F(FormLayoutTest, EveryCaptionFitsItsControlInAFontThatHasItsCharacters)
{
    open();
    const QWidget* client = form->centralWidget();
    const QWidget* view = form->host().viewWidget();
    const QList<QWidget*> controls = client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_GE(controls.size(), 40);
    for (const QWidget* widget : controls) {
        if (widget == view) continue;
        SCOPED_TRACE(widget->objectName().toStdString());
        const QString text = textOf(widget);
        const QFontMetrics metrics(widget->font());
        const int textWidth = metrics.horizontalAdvance(text);
        if (widget->isVisibleTo(form.get())) {
            EXPECT_FALSE(widget->geometry().intersects(view->geometry()));
        }
        if (qobject_cast<const QLabel*>(widget)) {
            EXPECT_GE(widget->width(), textWidth);
            EXPECT_LE(widget->geometry().right(), client->width());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            // The text of a button is centred in the control with a pixel to spare.
            EXPECT_LE(textWidth + 2, button->width() - (qobject_cast<const QCheckBox*>(widget) ? 16 : 0));
            EXPECT_LE(metrics.height(), button->height());
        }
        // None is drawn as a box.
        for (const QChar ch : text) EXPECT_TRUE(metrics.inFont(ch)) << QString(ch).toStdString();
    }
    EXPECT_FALSE(form->clipptemp->isVisibleTo(form.get()));
}

TEST_F(FormLayoutTest, TabOrderRunsThroughTheControlsInTheDesignsOrder)
{
    open();
    const char* const order[] = {"Button1", "Button2", "Button15", "Button16", "Button6", "Button7", "Button8", "Button10",
                                 "Button11", "Button12", "Button4", "reload", "CGreload", "CheckBox1", "CheckBox2", "Edit1",
                                 "buttonck", "clipper", "pedit1", "pedit2", "ledit1", "ledit2", "Edit3", "setbutton",
                                 "clipptemp", "Button17", "Button5", "Button3", "Button18"};
    QWidget* widget = form->Button1;
    for (const char* name : order) {
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
    EXPECT_EQ(form->host().viewWidget()->geometry(), QRect(104, 0, 167, 271));
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
    EXPECT_TRUE(form->autocgload->isCheckable());
    EXPECT_FALSE(form->autocgload->isChecked());
    for (const bool ticked : {true, false}) {
        form->autocgload->trigger();
        EXPECT_EQ(form->autocgload->isChecked(), ticked);
    }
}

}  // namespace
