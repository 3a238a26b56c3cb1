#include "dialogs/uedit.h"

#include "app/model/deckcodec.h"
#include "platform/fonts.h"
#include "platform/messagebox.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

namespace {

constexpr int kClientWidth = 197;
constexpr int kClientHeight = 158;
constexpr int kFieldLeft = 2; // inside the group box
constexpr int kFieldWidth = 187;

// The field separators of a deck entry; a field holding one would split the entry when the deck
// is read back.
constexpr QChar kSeparators[] = {u'=', u'\uFF1D'};

QLabel* makeCaption(QWidget* box, const QString& text, int top, QRgb color) {
    auto* lab = new QLabel(text, box);
    lab->setAlignment(Qt::AlignCenter);
    lab->setAutoFillBackground(true);
    QPalette palette = lab->palette();
    palette.setColor(QPalette::Window, QColor(color));
    // Dark text on the bright background, whatever the desktop's colour scheme.
    palette.setColor(QPalette::WindowText, Qt::black);
    lab->setPalette(palette);
    lab->setGeometry(kFieldLeft, top, kFieldWidth, 13);
    return lab;
}

QLineEdit* makeField(QWidget* box, const char* name, int top) {
    auto* edit = new QLineEdit(box);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(kFieldLeft, top, kFieldWidth, 21);
    return edit;
}

bool holdsSeparator(const QString& text) {
    for (QChar c : kSeparators)
        if (text.contains(c))
            return true;
    return false;
}

} // namespace

TEditForm::TEditForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EditForm"));
    setWindowTitle(QStringLiteral("Редактирование записи"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(platform::windowFont());
    setFixedSize(kClientWidth, kClientHeight);

    // Created in tab order: the three fields, then OK and Cancel.
    auto* box = new QGroupBox(QStringLiteral(" Редактирование записи "), this);
    box->setObjectName(QStringLiteral("GroupBox1"));
    box->setGeometry(2, 2, 191, 119);
    makeCaption(box, QStringLiteral("Кандзи"), 15, qRgb(0, 255, 255));
    JWrdEdit = makeField(box, "JWrdEdit", 28);
    makeCaption(box, QStringLiteral("Кана"), 49, qRgb(255, 255, 0));
    KWrdEdit = makeField(box, "KWrdEdit", 62);
    makeCaption(box, QStringLiteral("Перевод"), 83, qRgb(0, 255, 0));
    TrWrdEdit = makeField(box, "TrWrdEdit", 96);

    OKBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"),
                            this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(12, 123, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(100, 123, 75, 25);

    connect(OKBtn, &QPushButton::clicked, this, &TEditForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    m_lastFocus = JWrdEdit;
}

void TEditForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
        QDialog::showEvent(event);
        // Centred on the screen the dialog is on rather than over its parent.
        platform::centreOnScreen(*this);
        if (m_lastFocus)
            m_lastFocus->setFocus(Qt::OtherFocusReason);
        return;
    }
    QDialog::showEvent(event);
}

void TEditForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        if (QWidget* w = focusWidget(); w && isAncestorOf(w))
            m_lastFocus = w;
    QDialog::hideEvent(event);
}

void TEditForm::FormShow() {
    KWrdEdit->setText(KanaText);
    JWrdEdit->setText(KanjiText);
    TrWrdEdit->setText(TranslationText);
}

void TEditForm::OKBtnClick() {
    // A pasted text may carry its line end: it would end the entry's line in the deck file.
    for (QLineEdit* edit : {JWrdEdit, KWrdEdit, TrWrdEdit})
        if (const QString clean = deckcodec::cleanField(edit->text()); clean != edit->text())
            edit->setText(clean);
    for (QLineEdit* edit : {JWrdEdit, KWrdEdit, TrWrdEdit}) {
        if (holdsSeparator(edit->text())) {
            platform::showError(this, QStringLiteral("Знаки \"=\" и \"＝\" в записи недопустимы!"));
            edit->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    // The reader takes a line that starts with either mark for a word switched off.
    const QString kanji = JWrdEdit->text();
    if (kanji.startsWith(u'#') || kanji.startsWith(u'\uFF03')) {
        platform::showError(
            this, QStringLiteral("Кандзи не может начинаться со знака \"#\" или \"＃\"!"));
        JWrdEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
}
