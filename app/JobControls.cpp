// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/JobControls.h"

#include "app/ContainerTexts.h"
#include "resfile/Catalogue.h"

void RestoreIdleLook(const JobControls& controls, bool floppyEnabled, bool cdEnabled) {
    controls.progressBar->SetPos(0);
    controls.statusText->SetWindowText(IdleStatusLine().c_str());
    controls.floppyButton->SetWindowText(ContainerText(catalogue::kFloppyButtonLabel).get());
    controls.floppyButton->EnableWindow(floppyEnabled);
    controls.cdButton->EnableWindow(cdEnabled);
    // Last: once Exit is back the dialog may end, and the monitor touches no control after it.
    controls.exitButton->EnableWindow(true);
}
