#pragma once
// The look every wizard page shares: its place over the background, Setup's
// icon in the caption and the shaded buttons' surfaces.
#include "controls/ShadeButton.h"
#include "framework/Dialog.h"

// Back, Next and Finish buttons: effect BumpHard, granularity 8, highlight 10.
void ShadeWizardButton(CShadeButton& button);
// Cancel buttons: effect BumpSoft, granularity 8, highlight 10.
void ShadeCancelButton(CShadeButton& button);
// Gives the page the big and the small icon of its parent window (the
// background dialog), so that its caption shows Setup's icon.
void TakeParentIcons(CDialog& page);
// Centres the page over its parent (the maximised background), kept inside
// the work area.
void CenterOverParent(CDialog& page);
