#include "platform/modal.h"

#include <QDialog>

namespace platform {

namespace {

DialogHandler& handler() {
    static DialogHandler h;
    return h;
}

} // namespace

int execModal(QDialog& dialog) {
    if (!handler())
        return dialog.exec();
    dialog.setResult(QDialog::Rejected);
    dialog.setModal(true);
    dialog.show();
    const int wanted = handler()(dialog);
    if (!dialog.isVisible())
        return dialog.result();
    dialog.done(wanted);
    return wanted;
}

void setDialogHandler(DialogHandler h) {
    handler() = std::move(h);
}

} // namespace platform
