// The main window as a person sees it: every control of its client area shows its whole
// caption in a font that has each of its characters, clear of the view; the fixed frame and
// font.
#include "support/form_fixture.h"

#include <QFontInfo>

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
        EXPECT_FALSE(widget->isVisibleTo(form.get()) && widget->geometry().intersects(view->geometry()));
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

TEST_F(FormLayoutTest, WindowHasItsFixedFrameAndFont)
{
    open();
    EXPECT_EQ(form->centralWidget()->size(), QSize(272, 402));
    EXPECT_EQ(form->host().viewWidget()->geometry(), QRect(104, 0, 167, 271));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QString family = QFontInfo(form->font()).family();
    EXPECT_TRUE(family == "ＭＳ Ｐゴシック" || family == "IPAPGothic") << family.toStdString();
    EXPECT_EQ(form->font().pixelSize(), 12);
}

}  // namespace
