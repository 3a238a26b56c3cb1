#include "dialogs/uabout.h"

#include "platform/fonts.h"
#include "widgets/linklabel.h"
#include "widgets/scrolltext.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

constexpr int kClientWidth = 185;
constexpr int kClientHeight = 225;

// A horizontal etched line, 142 pixels wide.
QFrame* makeBevel(QWidget* parent, const char* name, int top) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QString::fromLatin1(name));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(20, top, 142, 2);
    return bevel;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("О программе..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(platform::windowFont());
    setFixedSize(kClientWidth, kClientHeight);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Sorabi"), 58, 8);
    QFont title = platform::windowFont();
    title.setPointSize(14);
    title.setBold(true);
    Label1->setFont(title);
    Label1->adjustSize();
    Bevel1 = makeBevel(this, "Bevel1", 37);
    Label2 = makeLabel(this, "Label2", QStringLiteral("Учим японский. Легко."), 34, 45);
    Bevel3 = makeBevel(this, "Bevel3", 64);
    Label3 = makeLabel(this, "Label3", QStringLiteral("Версия 0.9.2 от 03.09.2007"), 21, 73);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label3->resize(138, Label3->height());
    Bevel4 = makeBevel(this, "Bevel4", 92);

    SText = new TScrollText(this);
    SText->setObjectName(QStringLiteral("SText"));
    SText->setGeometry(8, 103, 169, 52);
    SText->setDelay(CreditsDelay);
    SText->setAlignment(Qt::AlignHCenter);
    // The background stays unset: the control then paints the palette's button face, and follows
    // it when the desktop's colours change.
    SText->setWordWrap(false);
    SText->setItems({
        QStringLiteral("Многофункциональная и "),
        QStringLiteral("удобная программа для "),
        QStringLiteral("запоминания японких слов "),
        QStringLiteral("и иероглифов."),
        QStringLiteral("-------------------------------"),
        QStringLiteral("В программе использовался"),
        QStringLiteral("набор анимированных "),
        QStringLiteral("изображений начертания"),
        QStringLiteral("иероглифов, распространяемый"),
        QStringLiteral("бесплатно -"),
        QStringLiteral("http://www.example.org/kanji/"),
    });

    // The address is a link that changes colour under the pointer; nothing follows it. The line
    // is wider than its 135 design pixels so that "По всем вопросам пишите:" stays on one line in
    // the fonts that stand in for Tahoma; its right edge meets the credits' right edge.
    LinkLabel1 = new TLinkLabel(this);
    LinkLabel1->setObjectName(QStringLiteral("LinkLabel1"));
    LinkLabel1->setGeometry(24, 162, 153, 26);
    LinkLabel1->setLayout(TLinkLabel::tlCenter);
    LinkLabel1->setHotLinks(true);
    LinkLabel1->setCaption(
        QStringLiteral("По всем вопросам пишите:<br>      <link>sorabi@example.org</link>"
                       "\r\n\r\n\r\n\r\n"));

    BitBtn1 = new QPushButton(QIcon(QPixmap(QStringLiteral(":/icons/tick.png"))),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(53, 194, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        platform::centreOnScreen(*this);
        FormShow();
    }
    QDialog::showEvent(event);
}

void TAboutForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        FormHide();
    QDialog::hideEvent(event);
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
    // Without a Cancel button Esc has nothing to do. The close box still closes the dialog: it
    // goes through reject(), which stays as it is.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Setting Active starts the credits afresh from the bottom, whatever the last showing left.
void TAboutForm::FormShow() {
    SText->setActive(true);
}

void TAboutForm::FormHide() {
    SText->setActive(false);
}
