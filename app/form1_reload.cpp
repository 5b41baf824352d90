// Reloading the definition or the CG, and the automatic CG reload.
#include "app/form1.h"

void TForm1::reloadClick() {}

void TForm1::CGreloadClick() {}

void TForm1::autocgloadClick() {}

void TForm1::autoCGReloadCheck() {}
