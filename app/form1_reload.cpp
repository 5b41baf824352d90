// Reloading the definition or the CG, and the automatic CG reload.
#include "app/form1.h"

#include "chr/qpchr.h"
#include "platform/file_system.h"

#include <QAction>

void TForm1::reloadClick() { LoadPackage(chr->chpfile); }

// On any failure the previous CG stays in use. The engine refuses a picture the
// display cannot take (a depth outside 8 to 32 bits per pixel, too many pixels)
// before it reaches the bitmap loader, which would end the program.
void TForm1::CGreloadClick() { chr->loadcg(); }

void TForm1::autocgloadClick() { autocgload->setChecked(!autocgload->isChecked()); }

void TForm1::autoCGReloadCheck()
{
    if (!autocgload->isChecked() || fromarchive || chr->cgfile.empty()) return;
    // The stamp is read again by the reload, so a file that fails is tried again
    // only after it changes once more (a missing file only once it exists).
    if (fileAge(chr->cgfile) != chr->cgage) chr->loadcg();
}
