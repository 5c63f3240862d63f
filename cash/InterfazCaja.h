#pragma once
// What the cash windows share: the closing report in the preview.
#include <QString>

// Shows the closing report of register xCajaId in the preview window, with
// the hourglass meanwhile; a missing template or any other error is told to
// the user. True when shown.
bool Usr_Print(const QString &xCajaId);
