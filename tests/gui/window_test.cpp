// The main window's start state, status label, error box and the handlers of the
// anime buttons, loop boxes and frame time.
#include "support/form_fixture.h"

#include "app/form1_design.h"

#include <QMessageBox>
#include <QTimer>

namespace {

using FormWindowTest = FormTest;

// Every load button starts disabled and the view black, and a failed load changes neither.
TEST_F(FormWindowTest, ACommandLinesFailedLoadIsShownOnceOverTheStartState)
{
    const std::string missing = (folder / "missing.chP").string();
    open({missing});
    turns(3);
    EXPECT_EQ(boxes->errors, std::vector<std::string>{"ファイル " + missing + " は開けません."});
    EXPECT_FALSE(form->paramload);
    for (const AnimeButton& anime : animeButtons) EXPECT_FALSE((form.get()->*anime.button)->isEnabled()) << anime.anime;
    for (const QPushButton* button : {form->reload, form->CGreload, form->buttonck, form->clipper, form->setbutton})
        EXPECT_EQ(button->isEnabled(), button == form->clipper || button == form->setbutton)
            << button->objectName().toStdString();
    for (int y : {0, 135, 270})
        for (int x : {0, 80, 166}) EXPECT_EQ(viewPixel(x, y), 0u) << x << "," << y;
}

TEST_F(FormWindowTest, StatusLabelNamesTheRunningAnimeInATextThatFitsAndKeepsItsTextForOthers)
{
    open();
    const struct {
        int anime;
        const char* shown;
    } cases[] = {
        {0, "状態"}, {1, "01-通常１"}, {9, "01-通常１"}, {18, "18-おじゃまされてる"}, {30, "チェックパターン"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.anime);
        form->chr->anime = c.anime;
        turns(1);
        const QLabel* status = form->Label2;
        EXPECT_EQ(status->text().toStdString(), c.shown);
        // Each text fits beside the view; only the longest needs a smaller size than the design's.
        EXPECT_GE(status->width(), QFontMetrics(status->font()).horizontalAdvance(status->text()));
        EXPECT_LE(status->geometry().right(), form->centralWidget()->width() - 1);
        EXPECT_EQ(status->font().pixelSize() == 21, c.anime != 18);
    }
    EXPECT_TRUE(boxes->errors.empty());
}

TEST_F(FormWindowTest, AnimeButtonsFrameTimeAndLoopBoxesDriveTheEngine)
{
    open();
    form->Button18->setEnabled(true);
    form->Button18->click();
    EXPECT_EQ(form->chr->anime, 18);
    // The frame time is the box's number (read as definitions read numbers), or a hundred.
    form->Edit1->setText("$1F");
    EXPECT_EQ(form->chr->framewait, 31);
    form->Edit1->setText("12x");
    EXPECT_EQ(form->chr->framewait, 100);
    form->CheckBox1->click();
    EXPECT_TRUE(form->chr->loopcheck);
    EXPECT_FALSE(form->chr->loopshots);
    form->CheckBox2->click();
    form->CheckBox1->click();
    EXPECT_FALSE(form->chr->loopcheck);
    EXPECT_TRUE(form->chr->loopshots);
}

TEST(ErrorBoxText, AppendsAFullStopAfterACharacterAboveIt)
{
    const struct {
        std::string message;
        std::string shown;
    } cases[] = {{"ファイル a は開けません", "ファイル a は開けません."},
                 {"a/", "a/."},
                 {"done.", "done."},
                 {"a-", "a-"},
                 {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(errorBoxText(c.message), c.shown) << c.message;
}

TEST_F(FormWindowTest, TheBoxesSpeakJapaneseAndShowTheirTextAsItStands)
{
    open();
    const std::unique_ptr<MessageBoxes> qtBoxes = makeQtMessageBoxes(form.get());
    const QString markup = "#CHARNAME <u>Neko</u>";
    QString seen;  // the open box's text when shown as plain text, then its buttons' after "|"
    // Reads each box once it is open, then answers it with its last answering button.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        seen = box->textFormat() == Qt::PlainText ? box->text() : "";
        QAbstractButton* answer = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            seen += "|" + button->text();
            if (box->buttonRole(button) != QMessageBox::ActionRole) answer = button;  // not "details"
        }
        answer->click();
    });
    poll.start(10);
    qtBoxes->askYesNo(markup.toStdString());
    EXPECT_TRUE(seen.startsWith(markup + "|") && seen.contains("|はい") && seen.contains("|いいえ"))
        << seen.toStdString();
    qtBoxes->showErrorWithDetails(markup.toStdString(), "details");
    EXPECT_TRUE(seen.startsWith(markup + "|") && !seen.contains("Show Details")) << seen.toStdString();

    form->LoadPackage(writeFile("neko.chP", markup.toStdString() + "\r\n"));
    EXPECT_EQ(form->Label1->text().toStdString(), "<u>Neko</u>");
    EXPECT_EQ(form->Label1->textFormat(), Qt::PlainText);
}

}  // namespace
