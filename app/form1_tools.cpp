// The author's tools of the main window: the caret check, the pattern check, the
// clipboard export and loading an anime's lists into the edit boxes.
#include "app/form1.h"

#include "app/form1_design.h"

#include "chr/definition_text.h"
#include "chr/qpchr.h"
#include "platform/text.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

constexpr size_t checkRow = Tqpchr::CheckAnime;
// The tools write frames 0 to 255 of the check pattern's row; the pattern check
// plays frames 1 to 255 and takes no more entries than that.
constexpr int toolFrames = 256;
constexpr int checkFrames = toolFrames - 1;

// One list edit box with the engine table it fills, the anime's list text that
// "セット" puts into it, and the label showing the entry at its caret.
struct ListBox {
    QLineEdit* edit;
    Tqpchr::FrameTable& table;
    std::array<std::string, Tqpchr::AnimeCount>& listText;
    QLabel* position;
};

// The four boxes in the order every tool treats them.
std::array<ListBox, 4> listBoxes(TForm1& form)
{
    Tqpchr& chr = *form.chr;
    return {{{form.pedit1, chr.patsrc, chr.patsrctext, form.ppoint1},
             {form.pedit2, chr.patdst, chr.patdsttext, form.ppoint2},
             {form.ledit1, chr.laysrc, chr.laysrctext, form.lpoint1},
             {form.ledit2, chr.laydst, chr.laydsttext, form.lpoint2}}};
}

// A list holds two characters per entry; an odd last character counts for nothing.
int entryCount(const QString& list) { return static_cast<int>(list.size() / 2); }

// Entry k (from 1) of a list: its two characters trimmed, "$" in front, read as an
// integer; the conversion error when that is no number.
int32_t entryValue(const QString& list, int k)
{
    return definition_text::hexPairValue(list.mid(2 * k - 2, 2).toStdString());
}

// Characters in front of the caret: the start of the selection when there is one.
int caretOf(const QLineEdit* edit) { return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition(); }

// The position label: the entry at the caret, "/", the number of entries.
void showPosition(const ListBox& box)
{
    const int length = static_cast<int>(box.edit->text().size());
    box.position->setText(QString::number(caretOf(box.edit) / 2) + "/" + QString::number(length / 2));
    box.position->adjustSize();
}

// Frames 1 to n of the check row from a list's n trimmed pairs, at most 255 of them.
void writeCheckList(const QString& list, std::array<int32_t, Tqpchr::FrameCount>& row)
{
    const int count = std::min(entryCount(list), checkFrames);
    for (int k = 1; k <= count; ++k) row[static_cast<size_t>(k)] = entryValue(list, k);
}

// One clipboard line: keyword, anime, source list and, when given, destination list.
QString definitionLine(const char* keyword, const QString& anime, const QString& source, const QString& destination)
{
    QString line = QString(keyword) + '\t' + anime + '\t' + source;
    if (!destination.isEmpty()) line += '\t' + destination;
    return line + "\r\n";
}

}  // namespace

void TForm1::EditCaretCheck()
{
    const auto boxes = listBoxes(*this);
    for (size_t b = 0; b < boxes.size(); ++b) {
        const int caret = caretOf(boxes[b].edit);
        if (caret == lastcaret[b]) continue;
        lastcaret[b] = caret;
        // The entry at the caret, from every box whose text reaches past the caret:
        // its (at most two) characters untrimmed, "$" in front.
        const int at = caret / 2 * 2;
        for (const ListBox& box : boxes) {
            const QString text = box.edit->text();
            if (text.size() <= caret) continue;
            const int32_t value = definition_text::toInteger("$" + text.mid(at, 2).toStdString());
            std::fill_n(box.table[checkRow].begin(), toolFrames, value);
        }
        chr->layerused[checkRow] = true;
        chr->patdstused[checkRow] = !pedit2->text().isEmpty();
        // A still frame at once, without remembering a base anime to return to.
        chr->frame = 1;
        chr->anime = Tqpchr::CheckAnime;
        showPosition(boxes[b]);
    }
}

void TForm1::buttonckClick()
{
    chr->layerused[checkRow] = false;
    chr->patdstused[checkRow] = false;
    for (const ListBox& box : listBoxes(*this)) std::fill_n(box.table[checkRow].begin() + 1, checkFrames, -1);

    writeCheckList(pedit1->text(), chr->patsrc[checkRow]);
    // One destination pair is enough to draw the cell into its destination.
    if (entryCount(pedit2->text()) >= 1) chr->patdstused[checkRow] = true;
    writeCheckList(pedit2->text(), chr->patdst[checkRow]);
    if (entryCount(ledit1->text()) >= 1) chr->layerused[checkRow] = true;
    writeCheckList(ledit1->text(), chr->laysrc[checkRow]);
    writeCheckList(ledit2->text(), chr->laydst[checkRow]);
    chr->start(Tqpchr::CheckAnime);
}

void TForm1::clipperClick()
{
    QString lines;
    if (!pedit1->text().isEmpty()) lines += definitionLine("#Patern", Edit3->text(), pedit1->text(), pedit2->text());
    if (!ledit1->text().isEmpty()) lines += definitionLine("#Layer", Edit3->text(), ledit1->text(), ledit2->text());
    // Handed over through the hidden box; an empty text copies nothing.
    clipptemp->setText(lines);
    clipptemp->selectAll();
    clipptemp->copy();
}

void TForm1::setbuttonClick()
{
    const int32_t anime = definition_text::parseInteger(Edit3->text().toStdString()).value_or(0);
    if (anime <= 0 || anime >= Tqpchr::CheckAnime) return;

    const auto boxes = listBoxes(*this);
    const bool anyText = std::ranges::any_of(boxes, [](const ListBox& box) { return !box.edit->text().isEmpty(); });
    if (!anyText || boxes_->askYesNo("よろしいですか？")) {
        for (const ListBox& box : boxes)
            setEditText(*box.edit, QString::fromStdString(displayText(box.listText[static_cast<size_t>(anime)])));
        for (const ListBox& box : boxes) showPosition(box);
    }
    chr->frame = 1;
}
