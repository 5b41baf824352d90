// Reloading the definition or the CG, and the automatic CG reload.
#include "app/form1.h"

#include "chr/qpchr.h"
#include "platform/exception.h"
#include "platform/file_system.h"

#include <QAction>

namespace {

// Loads the CG file again into a new CG surface; on any failure the previous CG
// stays in use. The engine refuses a picture the display cannot take (a depth
// outside 8 to 32 bits per pixel, too many pixels) before it reaches the bitmap
// loader, which would end the program; the window reports every refused picture
// with the one invalid-bitmap message.
void reloadCg(Tqpchr& chr)
{
    try {
        chr.loadcg();
    } catch (const EInvalidGraphic&) {
        throw EInvalidGraphic();
    }
}

}  // namespace

void TForm1::reloadClick() { LoadPackage(chr->chpfile); }

void TForm1::CGreloadClick() { reloadCg(*chr); }

void TForm1::autocgloadClick() { autocgload->setChecked(!autocgload->isChecked()); }

void TForm1::autoCGReloadCheck()
{
    if (!autocgload->isChecked() || fromarchive || chr->cgfile.empty()) return;
    // The stamp is read again by the reload, so a file that fails is tried again
    // only after it changes once more (a missing file only once it exists).
    if (fileAge(chr->cgfile) != chr->cgage) reloadCg(*chr);
}
