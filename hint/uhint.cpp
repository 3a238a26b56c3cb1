#include "hint/uhint.h"

#include "hint/kanjicodes.h"
#include "platform/errors.h"
#include "widgets/gifanimator.h"

#include <QMouseEvent>
#include <QWindow>

THintForm::THintForm(const QWidget* mainWindow, KanjiPictures pictures)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow), m_codes(KanjiCodes::builtIn()), m_pictures(std::move(pictures)),
      m_placement(new platform::FramePlacement(*this, true)) {
    setObjectName(QStringLiteral("HintForm"));
    setWindowTitle(QStringLiteral("Написание"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(166, 202, 240));
    setPalette(pal);
    setAutoFillBackground(true);
    // Showing the hints must not take the keyboard from the main window; the pictures' tooltip
    // shows although the window is never active.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFixedSize(243, 176);
    m_placement->place(QPoint(0, 0));
}

THintForm::~THintForm() {
    freePictures();
}

void THintForm::freePictures() {
    for (TGIFAnimator* a : m_animations)
        delete a;
    m_animations.clear();
}

void THintForm::beginCard() {
    ++m_cardDepth;
}

void THintForm::endCard() {
    if (m_cardDepth > 0 && --m_cardDepth == 0)
        apply(true);
}

void THintForm::want(bool visible) {
    m_wanted = visible;
    if (m_cardDepth == 0)
        apply(false);
}

bool THintForm::mainWindowOnScreen() const {
    return !m_mainWindow || (m_mainWindow->isVisible() && !m_mainWindow->isMinimized());
}

void THintForm::followMainWindow() {
    if (m_cardDepth == 0)
        apply(false);
}

void THintForm::setSuppressed(bool suppressed) {
    m_suppressed = suppressed;
    followMainWindow();
}

void THintForm::apply(bool raiseIt) {
    if (m_wanted && !m_suppressed && mainWindowOnScreen()) {
        if (!isVisible())
            show();
        if (raiseIt)
            raise();
    } else if (isVisible()) {
        hide();
    }
}

void THintForm::ShowKanji(const QString& text) {
    if (text == m_lastKanji) {
        want(true);
        return;
    }
    const bool available = m_pictures.available();
    want(available);
    if (!available)
        return;
    m_lastKanji = text;
    freePictures();

    std::vector<std::pair<char16_t, quint16>> kanji;
    for (const QChar c : text)
        if (const std::optional<quint16> code = m_codes.codeOf(c.unicode()))
            kanji.emplace_back(c.unicode(), *code);
    want(kanji.empty());
    if (kanji.empty())
        return;

    for (size_t n = 0; n < kanji.size(); ++n) {
        auto* a = new TGIFAnimator(this);
        m_animations.push_back(a);
        a->setAutoSize(true);
        a->move(0, 0);
        a->setAnimate(false);
        connect(a, &TGIFAnimator::OnClick, this, [this, a] { AnimationClick(a); });
        a->show();
        loadPicture(a->Image(), kanji[n].first, kanji[n].second);
        a->move(m_animations[0]->width() * int(n), a->y());
        a->setCursor(Qt::PointingHandCursor);
        a->setToolTip(QString::fromUtf8(kPictureHint));
    }

    const QSize first = m_animations[0]->size();
    const int width = first.width() * int(m_animations.size()) + 5;
    const int height = first.height() + 25;
    const QPoint mainCorner = m_mainWindow ? m_mainWindow->frameGeometry().topLeft() : QPoint();
    m_placement->place(QPoint(mainCorner.x() - width, mainCorner.y()), QSize(width, height),
                       QSize(first.width() * int(m_animations.size()), first.height()));
    want(true);
    if (m_cardDepth == 0 && isVisible())
        raise();
}

void THintForm::loadPicture(TGIFImage& image, char16_t unit, quint16 code) {
    KanjiPictures::Picture picture = m_pictures.pictureOf(unit, code);
    if (picture.fromCache) {
        // A cached copy that cannot be read (cut short by a crash, say) is drawn again.
        try {
            image.LoadGifFile(picture.file);
            return;
        } catch (const platform::Error&) {
            picture = m_pictures.remake(unit, code);
        }
    }
    if (picture.none())
        image.LoadGifResource(QStringLiteral("RCDATA_1"));
    else if (!picture.file.isEmpty())
        image.LoadGifFile(picture.file);
    else
        image.LoadFromData(picture.data);
}

void THintForm::AnimationClick(TGIFAnimator* sender) {
    sender->setAnimate(!sender->Animate());
}

void THintForm::mousePressEvent(QMouseEvent* event) {
    m_dragging = event->button() == Qt::LeftButton;
    if (m_dragging)
        m_dragOffset = event->globalPosition().toPoint() - pos();
}

void THintForm::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        m_placement->forget();
        move(event->globalPosition().toPoint() - m_dragOffset);
    }
}

void THintForm::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}
