#pragma once

#include <QDialog>

// The About dialog: the program's name and version.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);
};
