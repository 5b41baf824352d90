// The author's tools of the main window: the caret check, the pattern check, the
// clipboard export and loading an anime's lists into the edit boxes.
#include "app/form1.h"

void TForm1::EditCaretCheck() {}

void TForm1::buttonckClick() {}

void TForm1::clipperClick() {}

void TForm1::setbuttonClick() {}
