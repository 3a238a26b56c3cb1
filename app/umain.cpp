#include "app/umain.h"

#include "app/model/cardtext.h"
#include "app/model/runrules.h"
#include "app/model/settings.h"
#include "platform/colors.h"
#include "platform/errors.h"
#include "platform/inistore.h"
#include "platform/messagebox.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 381;
constexpr int kClientHeight = 359;
constexpr int kStatusBarHeight = 19;

QFont toQFont(const KindFont& f) {
    QFont font(f.Name);
    if (f.Size > 0)
        font.setPointSize(f.Size);
    else if (f.Size < 0)
        font.setPixelSize(-f.Size); // a negative size is a height in pixels
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    font.setStrikeOut(f.StrikeOut);
    return font;
}

// The em height of a kind's font in pixels: 47 for 35 points at 96 dots per inch.
int emHeight(const KindFont& f, int dpi) {
    if (f.Size < 0)
        return -f.Size;
    return qRound(f.Size * dpi / 72.0);
}

const QString& programVersionTitle() {
    static const QString title = QStringLiteral("Sorabi v.0.9.2");
    return title;
}

QLabel* makeCardLabel(QWidget* parent, const char* name, int height) {
    auto* lab = new QLabel(parent);
    lab->setObjectName(QString::fromLatin1(name));
    lab->setAlignment(Qt::AlignCenter);
    lab->setWordWrap(true);
    lab->setAutoFillBackground(true);
    lab->setFixedSize(kClientWidth, height);
    return lab;
}

} // namespace

TForm2::TForm2(const QString& appDir, const QString& deckPath, QWidget* parent) : QWidget(parent) {
    m_model.AppDir = appDir;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Sorabi"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    auto* top = Panel3 = new QWidget(this);
    top->setObjectName(QStringLiteral("Panel3"));
    top->setFixedHeight(27);
    TimeLab = new QLabel(top);
    TimeLab->setObjectName(QStringLiteral("TimeLab"));
    TimeLab->setGeometry(5, 6, 108, 16);

    Lab1 = makeCardLabel(this, "Lab1", 105);
    Lab2 = makeCardLabel(this, "Lab2", 83);
    Lab3 = makeCardLabel(this, "Lab3", 83);

    auto* buttons = Panel5 = new QWidget(this);
    buttons->setObjectName(QStringLiteral("Panel5"));
    buttons->setFixedHeight(43);
    SetupBtn = new QPushButton(QStringLiteral("Настройки"), buttons);
    SetupBtn->setObjectName(QStringLiteral("SetupBtn"));
    SetupBtn->setGeometry(7, 10, 75, 25);
    StartBtn = makeButton(buttons, "StartBtn", QStringLiteral("Продолжить"), 83, 13);
    PauseBtn = makeButton(buttons, "PauseBtn", QStringLiteral("Пауза"), 105, 13);
    PrevBtn = makeButton(buttons, "PrevBtn", QStringLiteral("Предыдущее слово"), 130, 13);
    NextBtn = makeButton(buttons, "NextBtn", QStringLiteral("Следующее слово"), 153, 13);
    RBtn = makeButton(buttons, "RBtn", QStringLiteral("Вспомнил"), 182, 14);
    FBtn = makeButton(buttons, "FBtn", QStringLiteral("Не вспомнил"), 207, 14);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget* w : {top, static_cast<QWidget*>(Lab1), static_cast<QWidget*>(Lab2),
                       static_cast<QWidget*>(Lab3), buttons})
        layout->addWidget(w);
    layout->addStretch(1);

    connect(StartBtn, &QToolButton::clicked, this, &TForm2::ResumeTraining);
    connect(PauseBtn, &QToolButton::clicked, this, &TForm2::PauseTraining);
    connect(NextBtn, &QToolButton::clicked, this, &TForm2::NextBtnClick);
    connect(PrevBtn, &QToolButton::clicked, this, &TForm2::PrevBtnClick);
    connect(RBtn, &QToolButton::clicked, this, &TForm2::RBtnClick);
    connect(FBtn, &QToolButton::clicked, this, &TForm2::FBtnClick);

    TimerGlobal = new QTimer(this);
    TimerGlobal->setObjectName(QStringLiteral("TimerGlobal"));
    TimerGlobal->setInterval(1000);
    connect(TimerGlobal, &QTimer::timeout, this, &TForm2::TimerGlobalTimer);

    FormCreate(deckPath);
}

TForm2::~TForm2() = default;

QToolButton* TForm2::makeButton(QWidget* panel, const char* name, const QString& hint, int left,
                                int top) {
    auto* b = new QToolButton(panel);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setGeometry(left, top, 23, 22);
    b->setEnabled(false);
    return b;
}

void TForm2::FormCreate(const QString& deckPath) {
    setWindowTitle(programVersionTitle());
    m_model.Graded = false;
    m_model.DeckLoaded = false;
    m_model.Paused = false;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(settings::defaultLeft(screen->geometry().width(), width()), 0);

    LoadSettings();
    if (!deckPath.isEmpty())
        m_model.Dictionary = QDir::current().absoluteFilePath(deckPath);
    SetIntervals(m_model.ShowNewCard, m_model.ShowTranslation);
    TimerGlobal->start();
    m_random.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    try {
        if (LoadDeck(m_model.Dictionary))
            NextCard();
    } catch (const platform::Error& e) {
        platform::showError(this, e.text());
    }
}

QString TForm2::titleBase() const {
    return programVersionTitle() + QStringLiteral(" [") + m_model.dictionaryFileName() +
           QStringLiteral("] ");
}

void TForm2::LoadSettings() {
    const platform::IniStore ini(m_model.AppDir + settings::fileName());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 0;
    if (const auto pos = settings::load(ini, m_model, settings::defaultLeft(screenWidth, width())))
        move(*pos);
}

void TForm2::SaveSettings() {
    platform::IniStore ini(m_model.AppDir + settings::fileName());
    settings::save(ini, m_model, pos());
    ini.save();
}

bool TForm2::LoadDeck(const QString& path) {
    const DeckLoadResult result = m_model.loadDeck(path);
    switch (result.status) {
    case DeckLoadResult::EmptyPath:
        return false;
    case DeckLoadResult::Missing:
        platform::showError(this,
                            QStringLiteral("Файла ") + path + QStringLiteral(" не существует!"));
        return false;
    case DeckLoadResult::Malformed:
        platform::showError(
            this, QStringLiteral("Ошибка в строке %1! Файл не загружен!").arg(result.entryCount));
        setTrainingButtonsEnabled(false);
        return false;
    case DeckLoadResult::Loaded:
        break;
    }
    setWindowTitle(titleBase());
    setTrainingButtonsAfterLoad();
    return true;
}

bool TForm2::SaveDeck(const QString& path) {
    if (m_model.saveDeck(path))
        return true;
    platform::showError(this, QStringLiteral("Не удалось сохранить файл ") + path + u'!');
    return false;
}

void TForm2::setTrainingButtonsEnabled(bool enabled) {
    for (QToolButton* b : {NextBtn, PrevBtn, StartBtn, PauseBtn, FBtn, RBtn})
        b->setEnabled(enabled);
}

void TForm2::setTrainingButtonsAfterLoad() {
    const bool timed = m_model.ShowNewCard != 0;
    NextBtn->setEnabled(timed);
    PauseBtn->setEnabled(timed);
    PrevBtn->setEnabled(timed && m_model.Style == 1);
    StartBtn->setEnabled(false);
    FBtn->setEnabled(true);
    RBtn->setEnabled(true);
}

void TForm2::SetIntervals(qint32 newCardMinutes, qint32 translationSeconds) {
    m_model.ShowNewCard = newCardMinutes;
    m_model.ShowTranslation = translationSeconds;
    // Kept in range for any stored number of minutes.
    m_model.CardCountdown =
        qint32(std::clamp<qint64>(qint64(m_model.ShowNewCard) * 60, 0, INT_MAX));
    m_model.AnswerCountdown = m_model.ShowTranslation;
}

void TForm2::showAndRaise() {
    show();
    raise();
    activateWindow();
}

bool TForm2::cardOnShow() const {
    const TrainerModel& m = m_model;
    return m.DeckLoaded && m.WordCount > 0 && m.CurrentPos >= 0 && m.CurrentPos < m.ActiveCount;
}

void TForm2::TimerGlobalTimer() {
    TrainerModel& m = m_model;
    if (m.Paused || !cardOnShow())
        return;
    if (m.CardCountdown > 0) {
        --m.CardCountdown;
        TimeLab->setText(QStringLiteral("Осталось: ") + FormatCountdown(m.CardCountdown));
    } else if (m.ShowNewCard != 0) {
        NextCard();
        SetIntervals(m.ShowNewCard, m.ShowTranslation);
    }
    if (m.AnswerCountdown >= 0) {
        --m.AnswerCountdown;
    } else {
        if (m.AnswerCountdown == -1)
            ShowCard(false);
        m.AnswerCountdown = -2;
    }
}

void TForm2::NextBtnClick() {
    NextCard();
    SetIntervals(m_model.ShowNewCard, m_model.ShowTranslation);
}

void TForm2::PrevBtnClick() {
    PrevCard();
    SetIntervals(m_model.ShowNewCard, m_model.ShowTranslation);
}

void TForm2::grade(bool remembered) {
    TrainerModel& m = m_model;
    if (!cardOnShow())
        return;
    TDictRec& w = m.Dict.Words[size_t(m.ActiveList[size_t(m.CurrentPos)])];
    w.Attempts = wrappingAdd(w.Attempts, 1);
    m.Dict.TotalAttempts = wrappingAdd(m.Dict.TotalAttempts, 1);
    if (!remembered) {
        w.Misses = wrappingAdd(w.Misses, 1);
        m.Dict.TotalMisses = wrappingAdd(m.Dict.TotalMisses, 1);
    }
    m.Graded = true;
    RBtn->setEnabled(false);
    FBtn->setEnabled(false);
    if (m.ShowNewCard == 0) {
        NextCard();
        SetIntervals(m.ShowNewCard, m.ShowTranslation);
    }
}

void TForm2::RBtnClick() {
    grade(true);
}
void TForm2::FBtnClick() {
    grade(false);
}

void TForm2::PrevCard() {
    showAndRaise();
    TrainerModel& m = m_model;
    // Random order keeps no history: the card on show comes again as a new card.
    if (m.Style == 1)
        m.CurrentPos = m.CurrentPos - 1 < 0 ? m.ActiveCount - 1 : m.CurrentPos - 1;
    ShowCard(true);
}

void TForm2::NextCard() {
    showAndRaise();
    TrainerModel& m = m_model;
    if (m.Style == 0)
        m.CurrentPos = m.ActiveCount > 0 ? qint32(m_random.bounded(m.ActiveCount)) : 0;
    else if (m.Style == 1)
        m.CurrentPos = m.CurrentPos + 1 >= m.ActiveCount ? 0 : m.CurrentPos + 1;
    ShowCard(true);
}

void TForm2::ShowCard(bool newCard) {
    TrainerModel& m = m_model;
    if (!m.DeckLoaded || m.CurrentPos < 0 || m.CurrentPos >= m.ActiveCount)
        return;
    ShownKinds = 0b111;
    const TDictRec& w = m.Dict.Words[size_t(m.ActiveList[size_t(m.CurrentPos)])];
    const bool hasKanji = !w.Kanji.isEmpty();
    if (!hasKanji)
        ShownKinds &= ~(1u << wkKanji);
    const cardtext::MainKinds kinds =
        cardtext::mainKinds(hasKanji, m.TopWordStyle, m.BottomWordStyle);
    FillLabel(Lab1, kinds.top, newCard);
    FillLabel(Lab2, kinds.second, newCard);
    Lab3->setVisible(ShownKinds != 0);
    if (ShownKinds != 0) {
        const quint8 left = ShownKinds;
        for (TWordKind k : {wkKanji, wkKana, wkTranslation})
            if (left & (1u << k))
                FillLabel(Lab3, k, newCard);
    }
    if (newCard) {
        m.Graded = false;
        RBtn->setEnabled(true);
        FBtn->setEnabled(true);
    }
    // The client height: the card labels, the button panel, the status bar and the top panel.
    const int labels = Lab1->height() + Lab2->height() + (Lab3->isVisible() ? Lab3->height() : 0);
    setFixedHeight(labels + Panel5->height() + kStatusBarHeight + Panel3->height());
}

void TForm2::FillLabel(QLabel* lab, TWordKind kind, bool hide) {
    const TKindStyle& style = m_model.kindStyle(kind);
    const QFont font = toQFont(style.Font);
    lab->setFont(font);
    QPalette palette = lab->palette();
    palette.setColor(QPalette::Window, platform::toQColor(style.Color));
    palette.setColor(QPalette::WindowText, platform::toQColor(style.Font.Color));
    lab->setPalette(palette);
    ShownKinds &= ~(1u << kind);
    lab->setProperty("Tag", int(kind));

    const TrainerModel& m = m_model;
    const TDictRec& w = m.Dict.Words[size_t(m.ActiveList[size_t(m.CurrentPos)])];
    const QString text = cardtext::fieldText(w, kind, hide, m.TopWordStyle);
    const QFontMetrics metrics(font);
    const cardtext::Broken broken = cardtext::breakLines(
        text, lab->width(), [&](QStringView s) { return metrics.horizontalAdvance(s.toString()); });
    lab->setFixedHeight(broken.lines * (emHeight(style.Font, logicalDpiY()) + 2));
    lab->setText(QString(broken.text).replace(u'\r', u'\n'));
}

void TForm2::PauseTraining() {
    m_model.Paused = true;
    setWindowTitle(titleBase() + QStringLiteral("[Пауза]"));
    StartBtn->setEnabled(true);
    PauseBtn->setEnabled(false);
    FBtn->setEnabled(false);
    RBtn->setEnabled(false);
}

void TForm2::ResumeTraining() {
    TrainerModel& m = m_model;
    m.Paused = false;
    setWindowTitle(titleBase());
    const bool timed = m.ShowNewCard != 0 && m.DeckLoaded;
    StartBtn->setEnabled(false);
    PauseBtn->setEnabled(timed);
    NextBtn->setEnabled(timed);
    PrevBtn->setEnabled(timed && m.Style == 1);
    FBtn->setEnabled(!m.Graded && m.DeckLoaded);
    RBtn->setEnabled(!m.Graded && m.DeckLoaded);
    if (m.ShowNewCard == 0 || m.WordCount == 0 || !m.DeckLoaded)
        TimeLab->clear();
    if (!m.DeckLoaded) {
        Lab1->clear();
        Lab2->clear();
        Lab3->clear();
    }
}

void TForm2::closeEvent(QCloseEvent* event) {
    PauseTraining();
    if (!platform::askQuestion(this, QStringLiteral("Вы уверены, что хотите выйти?"))) {
        event->ignore();
        ResumeTraining();
        return;
    }
    // A deck or settings file that cannot be written keeps the window open (paused), so the user
    // can free the disk or mend the permissions and close again.
    if (!SaveDeck(m_model.Dictionary)) {
        event->ignore();
        return;
    }
    try {
        SaveSettings();
    } catch (const platform::Error& e) {
        platform::showError(this, e.text());
        event->ignore();
        return;
    }
    event->accept();
}
