#include "hint/uhint.h"

#include "hint/kanjicodes.h"
#include "widgets/gifanimator.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QWindow>

THintForm::THintForm(const QWidget* mainWindow, const QString& appDir)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow), m_appDir(appDir), m_codes(KanjiCodes::builtIn()) {
    setObjectName(QStringLiteral("HintForm"));
    setWindowTitle(QStringLiteral("Написание"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(166, 202, 240));
    setPalette(pal);
    setAutoFillBackground(true);
    // Showing the hints must not take the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    move(0, 0);
    resize(243, 176);
}

THintForm::~THintForm() {
    freePictures();
}

void THintForm::freePictures() {
    for (TGIFAnimator* a : m_animations)
        delete a;
    m_animations.clear();
}

void THintForm::ShowKanji(const QString& text) {
    if (text == m_lastKanji) {
        show();
        return;
    }
    const QString pics = m_appDir + QStringLiteral("pics");
    const bool havePics = QFileInfo(pics).isDir();
    setVisible(havePics);
    if (!havePics)
        return;
    m_lastKanji = text;
    freePictures();

    std::vector<quint16> codes;
    for (const QChar c : text)
        if (const std::optional<quint16> code = m_codes.codeOf(c.unicode()))
            codes.push_back(*code);
    setVisible(codes.empty());
    if (codes.empty())
        return;

    for (size_t n = 0; n < codes.size(); ++n) {
        const QString path = pics + u'/' + KanjiCodes::pictureFileName(codes[n]);
        auto* a = new TGIFAnimator(this);
        m_animations.push_back(a);
        a->setAutoSize(true);
        a->move(a->x(), 0);
        a->setAnimate(false);
        connect(a, &TGIFAnimator::OnClick, this, [this, a] { AnimationClick(a); });
        a->show();
        if (QFileInfo(path).isFile())
            a->Image().LoadGifFile(path);
        else
            a->Image().LoadGifResource(QStringLiteral("RCDATA_1"));
        a->move(m_animations[0]->width() * int(n), a->y());
        a->setCursor(Qt::PointingHandCursor);
        a->setToolTip(QString::fromUtf8(kPictureHint));
    }

    show();
    const QSize first = m_animations[0]->size();
    const int width = first.width() * int(m_animations.size()) + 5;
    const int height = first.height() + 25;
    const QPoint mainCorner = m_mainWindow ? m_mainWindow->pos() : QPoint();
    setOuterGeometry(QRect(mainCorner.x() - width, mainCorner.y(), width, height));
    show();
    raise();
}

void THintForm::AnimationClick(TGIFAnimator* sender) {
    sender->setAnimate(!sender->Animate());
}

QMargins THintForm::frameMarginsNow() const {
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

void THintForm::setOuterGeometry(const QRect& outer) {
    m_outer = outer;
    m_outerPending = true;
    m_marginsUsed = frameMarginsNow();
    resize(std::max(outer.width() - m_marginsUsed.left() - m_marginsUsed.right(), 1),
           std::max(outer.height() - m_marginsUsed.top() - m_marginsUsed.bottom(), 1));
    move(outer.topLeft());
}

bool THintForm::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The frame arrives after the window is mapped: redo the last layout once with its margins.
    if (m_outerPending && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        if (frameMarginsNow() != m_marginsUsed)
            setOuterGeometry(m_outer);
        else if (isVisible() && frameMarginsNow() != QMargins())
            m_outerPending = false;
    }
    return handled;
}

void THintForm::mousePressEvent(QMouseEvent* event) {
    m_dragging = event->button() == Qt::LeftButton;
    if (m_dragging)
        m_dragOffset = event->globalPosition().toPoint() - pos();
}

void THintForm::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        m_outerPending = false;
        move(event->globalPosition().toPoint() - m_dragOffset);
    }
}

void THintForm::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}
