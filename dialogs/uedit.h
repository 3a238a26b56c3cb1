#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QLineEdit;
class QPushButton;

// The word editor: three one-line fields for a word's kanji, kana and translation. The caller sets
// the three texts, shows the dialog modally and, after OK, reads the three fields. Created once and
// reused; each showing re-reads the texts.
class TEditForm : public QDialog {
    Q_OBJECT

public:
    explicit TEditForm(QWidget* parent = nullptr);

    // Set by the caller before showing; copied into the fields on each showing.
    QString KanjiText;
    QString KanaText;
    QString TranslationText;

    // Read by the caller after OK.
    QLineEdit* JWrdEdit = nullptr;
    QLineEdit* KWrdEdit = nullptr;
    QLineEdit* TrWrdEdit = nullptr;

    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormShow();
    void OKBtnClick();

    // The control that had the focus when the dialog last closed; it gets it back on the next
    // showing.
    QPointer<QWidget> m_lastFocus;
};
