// Design values the main window's files share: the anime buttons (each button, the
// anime it starts and its click handler, in the order the window disables them
// before a load) and the typing limit of the frame time box.
#pragma once

#include "app/form1.h"

#include <array>

inline constexpr int FrameTimeMaxLength = 3;

// Sets an edit box's text with the caret at its start, where a text set by the
// program leaves it on the platform the design comes from; Qt leaves it at the end,
// which the caret check would take for a move.
void setEditText(QLineEdit& edit, const QString& text);

struct AnimeButton {
    QPushButton* TForm1::*button;
    int anime;
    void (TForm1::*click)();
};

inline constexpr std::array<AnimeButton, 15> animeButtons{{
    {&TForm1::Button1, 1, &TForm1::Button1Click},
    {&TForm1::Button2, 2, &TForm1::Button2Click},
    {&TForm1::Button3, 3, &TForm1::Button3Click},
    {&TForm1::Button4, 4, &TForm1::Button4Click},
    {&TForm1::Button5, 5, &TForm1::Button5Click},
    {&TForm1::Button6, 6, &TForm1::Button6Click},
    {&TForm1::Button7, 7, &TForm1::Button7Click},
    {&TForm1::Button8, 8, &TForm1::Button8Click},
    {&TForm1::Button10, 10, &TForm1::Button10Click},
    {&TForm1::Button11, 11, &TForm1::Button11Click},
    {&TForm1::Button12, 12, &TForm1::Button12Click},
    {&TForm1::Button15, 15, &TForm1::Button15Click},
    {&TForm1::Button16, 16, &TForm1::Button16Click},
    {&TForm1::Button17, 17, &TForm1::Button17Click},
    {&TForm1::Button18, 18, &TForm1::Button18Click},
}};
