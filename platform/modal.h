#pragma once

#include <functional>

class QDialog;

namespace platform {

// Shows a dialog modally and returns its result (QDialog::Accepted or QDialog::Rejected). Tests
// replace the user with a handler: the dialog is shown (so it reads what it displays, as for a
// real showing), the handler fills it in or presses its buttons and returns the result wanted;
// a dialog the handler left open is then closed with that result.
int execModal(QDialog& dialog);

// An empty handler restores the real showing.
using DialogHandler = std::function<int(QDialog&)>;
void setDialogHandler(DialogHandler handler);

} // namespace platform
