#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class TLinkLabel;
class TScrollText;

// The About dialog "О программе...": the program's name, slogan and version, scrolling credits
// and a contact line with the author's address as a link. The credits start from the bottom on
// every showing and stop while the dialog is hidden. OK, Enter and the close box close it; Esc
// does nothing, as the dialog has no Cancel button.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // Milliseconds between two steps of the credits. Setting it on the credits also lowers the
    // program's tooltip delay (see TScrollText::setDelay).
    static constexpr int CreditsDelay = 100;

    // Controls, named as in the layout.
    QLabel* Label1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* Bevel3 = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Bevel4 = nullptr;
    TScrollText* SText = nullptr;
    TLinkLabel* LinkLabel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void FormHide();
};
