#include "app/umain.h"

#include "app/model/settings.h"
#include "dialogs/uabout.h"
#include "dialogs/uedit.h"
#include "dialogs/usetup.h"
#include "hint/uhint.h"
#include "platform/errors.h"
#include "platform/fonts.h"
#include "platform/inistore.h"
#include "platform/messagebox.h"
#include "platform/modal.h"
#include "platform/tooltipdelay.h"
#include "widgets/filenameedit.h"
#include "widgets/formmagnet.h"
#include "widgets/linklabel.h"
#include "widgets/progressbar.h"
#include "widgets/scrolltext.h"
#include "widgets/statusbar.h"
#include "widgets/trayicon.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

// Compiled into the static resource library; referenced here so the linker keeps it.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr int kClientWidth = 381;
constexpr int kClientHeight = 359;
constexpr int kHintDuration = 10000; // ms a pop-up hint stays on screen

const QString& programVersionTitle() {
    static const QString title = QStringLiteral("Sorabi v.0.9.2");
    return title;
}

QLabel* makeCardLabel(QWidget* parent, const char* name, int height, QRgb color, int pixels) {
    auto* lab = new QLabel(parent);
    lab->setObjectName(QString::fromLatin1(name));
    lab->setAlignment(Qt::AlignCenter);
    lab->setWordWrap(true);
    lab->setAutoFillBackground(true);
    lab->setFixedSize(kClientWidth, height);
    QFont font(QStringLiteral("MS Mincho"));
    font.setPixelSize(pixels);
    lab->setFont(font);
    QPalette palette = lab->palette();
    palette.setColor(QPalette::Window, QColor(color));
    lab->setPalette(palette);
    return lab;
}

QAction* addRadio(QMenu* menu, QActionGroup* group, const char* name, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(true);
    group->addAction(a);
    return a;
}

QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

TForm2::TForm2(const QString& appDir, const QString& deckPath, QWidget* parent)
    : TForm2(platform::paths::Layout::portable(appDir), deckPath, parent) {}

TForm2::TForm2(const platform::paths::Layout& layout, const QString& deckPath, QWidget* parent)
    : QWidget(parent), m_layout(layout) {
    initResources();
    // Bare deck names are looked for in the deck folder (the program's own when portable).
    m_model.AppDir = layout.deckFolder;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Sorabi"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (QGuiApplication::windowIcon().isNull()) {
        QIcon icon;
        for (const char* name : {"sorabi-16", "sorabi", "sorabi-48"})
            icon.addPixmap(QPixmap(QStringLiteral(":/icons/") + QString::fromLatin1(name) +
                                   QStringLiteral(".png")));
        QGuiApplication::setWindowIcon(icon);
    }
    setWindowIcon(QGuiApplication::windowIcon());
    setFont(platform::windowFont());
    setFixedSize(kClientWidth, kClientHeight);
    // A card comes up over the other windows but leaves the keyboard where the user is typing.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The window's keys are its own (keyPressEvent): no button takes the focus, so no key can
    // press "Настройки" or another button by accident.
    setFocusPolicy(Qt::StrongFocus);

    createLayout();
    createMenus();

    TimerGlobal = new QTimer(this);
    TimerGlobal->setObjectName(QStringLiteral("TimerGlobal"));
    TimerGlobal->setInterval(1000);
    connect(TimerGlobal, &QTimer::timeout, this, &TForm2::TimerGlobalTimer);

    TimerSave = new QTimer(this);
    TimerSave->setObjectName(QStringLiteral("TimerSave"));
    TimerSave->setSingleShot(true);
    TimerSave->setInterval(1000);
    connect(TimerSave, &QTimer::timeout, this, &TForm2::TimerSaveTimer);
    m_model.onChange = [this](TrainerModel::Change what) {
        onModelChanged(what);
    };

    Tray = new TTrayIcon(this);
    Tray->setObjectName(QStringLiteral("Tray"));
    Tray->setPopupMenu(PopupMenu1);
    connect(Tray, &TTrayIcon::OnClick, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) { TrayClick(button); });
    // A notification area that goes away must not take the hidden window with it.
    connect(Tray, &TTrayIcon::IconShownChanged, this, [this](bool shown) {
        if (!shown && !m_ended && isHidden())
            showFromTray();
    });

    FormMagnet1 = new TFormMagnet(this);
    FormMagnet1->setObjectName(QStringLiteral("FormMagnet1"));
    FormMagnet1->Active = true;
    FormMagnet1->MainFormMagnet = true;

    // The About dialog is made on first use, but the delay of its credits lowers the tooltip
    // delay of the whole program to 90 ms, and that holds from the start.
    m_savedToolTipDelay = platform::toolTipDelay();
    platform::setToolTipDelay(
        TScrollText::toolTipDelayFor(TAboutForm::CreditsDelay, m_savedToolTipDelay));

    FormCreate(deckPath);
    // The icon goes up once the loop runs, right after the window and its first card are on
    // screen: reaching the notification area may take a while and need not hold up the card.
    // (Not once the window has closed: the timer stops then.)
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (TimerGlobal->isActive())
                Tray->setActive(true);
        },
        Qt::QueuedConnection);
}

TForm2::~TForm2() {
    m_model.onChange = nullptr;
    // The dialog's credits put back the delay they found when it was made; this window's goes
    // back after them.
    delete AboutForm;
    AboutForm = nullptr;
    platform::setToolTipDelay(m_savedToolTipDelay);
}

void TForm2::createLayout() {
    Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedSize(kClientWidth, 27);
    TimeLab = new QLabel(Panel3);
    TimeLab->setObjectName(QStringLiteral("TimeLab"));
    TimeLab->move(5, 6);
    // Fixed in size and opaque, so the tick's new text repaints the label alone and asks for no
    // new layout.
    TimeLab->setFixedSize(108, 16);
    TimeLab->setAutoFillBackground(true);
    // Plain text drawn as a link (blue, underlined, hand cursor): a click anywhere on the label
    // opens the About dialog. 90 pixels rather than the design's 77, with the same right edge,
    // so that the caption stays on one line in the fonts that stand in for Tahoma.
    LinkLabel1 = new TLinkLabel(Panel3);
    LinkLabel1->setObjectName(QStringLiteral("LinkLabel1"));
    LinkLabel1->setGeometry(285, 6, 90, 13);
    QFont link = LinkLabel1->font();
    link.setUnderline(true);
    LinkLabel1->setFont(link);
    QPalette linkPalette = LinkLabel1->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    LinkLabel1->setPalette(linkPalette);
    LinkLabel1->setCursor(Qt::PointingHandCursor);
    LinkLabel1->setCaption(QStringLiteral("О программе...\r\n\r\n"));
    connect(LinkLabel1, &TLinkLabel::OnClick, this, &TForm2::LinkLabel1Click);

    Lab1 = makeCardLabel(this, "Lab1", 105, qRgb(0, 255, 0), 40);
    Lab2 = makeCardLabel(this, "Lab2", 83, qRgb(255, 255, 0), 33);
    Lab3 = makeCardLabel(this, "Lab3", 83, qRgb(0, 255, 255), 33);
    for (QLabel* lab : {Lab1, Lab2}) {
        lab->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(lab, &QLabel::customContextMenuRequested, this,
                [this, lab](QPoint at) { openWStyleMenu(lab, lab->mapToGlobal(at)); });
    }

    Panel5 = new QWidget(this);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setFixedSize(kClientWidth, 43);
    SetupBtn = new QPushButton(QStringLiteral("Настройки"), Panel5);
    SetupBtn->setObjectName(QStringLiteral("SetupBtn"));
    SetupBtn->setGeometry(7, 10, 75, 25);
    SetupBtn->setFocusPolicy(Qt::NoFocus);
    StartBtn = makeButton(Panel5, "StartBtn", QStringLiteral("play"), QStringLiteral("Продолжить"),
                          83, 13);
    PauseBtn =
        makeButton(Panel5, "PauseBtn", QStringLiteral("pause"), QStringLiteral("Пауза"), 105, 13);
    PrevBtn = makeButton(Panel5, "PrevBtn", QStringLiteral("prev"),
                         QStringLiteral("Предыдущее слово"), 130, 13);
    NextBtn = makeButton(Panel5, "NextBtn", QStringLiteral("next"),
                         QStringLiteral("Следующее слово"), 153, 13);
    RBtn = makeButton(Panel5, "RBtn", QStringLiteral("tick"), QStringLiteral("Вспомнил"), 182, 14);
    FBtn =
        makeButton(Panel5, "FBtn", QStringLiteral("cross"), QStringLiteral("Не вспомнил"), 207, 14);

    SBar = new TStatusBar(this);
    SBar->setObjectName(QStringLiteral("SBar"));
    SBar->setFixedWidth(kClientWidth);
    ProgCurr = new TSpecialProgress(this);
    ProgAll = new TSpecialProgress(this);
    const std::pair<TSpecialProgress*, const char*> bars[] = {{ProgCurr, "ProgCurr"},
                                                              {ProgAll, "ProgAll"}};
    for (const auto& [bar, name] : bars) {
        bar->setObjectName(QString::fromLatin1(name));
        bar->setSolid(true);
        bar->setStartColor(Qt::red);
        bar->setEndColor(Qt::green);
        bar->setTextOption(TSpecialProgress::toPercent);
        bar->setTextCentered(true);
        bar->setHintColor(QGuiApplication::palette().color(QPalette::ToolTipBase));
        bar->setToolTipDuration(kHintDuration);
    }
    ProgCurr->resize(94, 15);
    ProgCurr->setToolTip(QStringLiteral("Коэффициен запоминания текущего слова"));
    ProgAll->resize(92, 15);
    ProgAll->setToolTip(QStringLiteral("Общий коэффициен запоминания словаря"));
    SBar->setPanelControl(SBar->addPanel(100), ProgCurr);
    SBar->setPanelControl(SBar->addPanel(100), ProgAll);
    SBar->addPanel(50, Qt::AlignRight);

    connect(SetupBtn, &QPushButton::clicked, this, &TForm2::SetupBtnClick);
    connect(StartBtn, &QToolButton::clicked, this, &TForm2::ResumeTraining);
    connect(PauseBtn, &QToolButton::clicked, this, &TForm2::PauseTraining);
    connect(NextBtn, &QToolButton::clicked, this, &TForm2::NextBtnClick);
    connect(PrevBtn, &QToolButton::clicked, this, &TForm2::PrevBtnClick);
    connect(RBtn, &QToolButton::clicked, this, &TForm2::RBtnClick);
    connect(FBtn, &QToolButton::clicked, this, &TForm2::FBtnClick);

    // Everything is aligned to the top at full width; the status bar sits at the bottom.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget* w : {Panel3, static_cast<QWidget*>(Lab1), static_cast<QWidget*>(Lab2),
                       static_cast<QWidget*>(Lab3), Panel5})
        layout->addWidget(w);
    layout->addStretch(1);
    layout->addWidget(SBar);
}

void TForm2::createMenus() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("Пауза"));
    N1->setObjectName(QStringLiteral("N1"));
    N1->setCheckable(true);
    addSeparator(PopupMenu1, "N4");
    Cdthe1 = PopupMenu1->addMenu(QStringLiteral("Сверху"));
    Cdthe1->setObjectName(QStringLiteral("Cdthe1"));
    auto* topGroup = new QActionGroup(this);
    TNKanji = addRadio(Cdthe1, topGroup, "TNKanji", QStringLiteral("Кандзи"));
    TNKana = addRadio(Cdthe1, topGroup, "TNKana", QStringLiteral("Кана"));
    TNTrans = addRadio(Cdthe1, topGroup, "TNTrans", QStringLiteral("Перевод"));
    N5 = PopupMenu1->addMenu(QStringLiteral("Снизу"));
    N5->setObjectName(QStringLiteral("N5"));
    auto* bottomGroup = new QActionGroup(this);
    BNKanji = addRadio(N5, bottomGroup, "BNKanji", QStringLiteral("Кандзи"));
    BNKana = addRadio(N5, bottomGroup, "BNKana", QStringLiteral("Кана"));
    BNTrans = addRadio(N5, bottomGroup, "BNTrans", QStringLiteral("Перевод"));
    addSeparator(PopupMenu1, "N7");
    auto* orderGroup = new QActionGroup(this);
    N8 = addRadio(PopupMenu1, orderGroup, "N8", QStringLiteral("Случайно"));
    N9 = addRadio(PopupMenu1, orderGroup, "N9", QStringLiteral("Последовательно"));
    N9->setChecked(true);
    addSeparator(PopupMenu1, "N2");
    N11 = PopupMenu1->addAction(QStringLiteral("Настройки"));
    N11->setObjectName(QStringLiteral("N11"));
    addSeparator(PopupMenu1, "N10");
    N3 = PopupMenu1->addAction(QStringLiteral("Выход"));
    N3->setObjectName(QStringLiteral("N3"));

    connect(N1, &QAction::triggered, this, &TForm2::N1Click);
    connect(TNKanji, &QAction::triggered, this, &TForm2::TNKanjiClick);
    connect(TNKana, &QAction::triggered, this, &TForm2::TNKanaClick);
    connect(TNTrans, &QAction::triggered, this, &TForm2::TNTransClick);
    connect(BNKanji, &QAction::triggered, this, &TForm2::BNKanjiClick);
    connect(BNKana, &QAction::triggered, this, &TForm2::BNKanaClick);
    connect(BNTrans, &QAction::triggered, this, &TForm2::BNTransClick);
    connect(N8, &QAction::triggered, this, &TForm2::N8Click);
    connect(N9, &QAction::triggered, this, &TForm2::N9Click);
    connect(N11, &QAction::triggered, this, &TForm2::N11Click);
    connect(N3, &QAction::triggered, this, &TForm2::N3Click);

    WStyleMenu = new QMenu(this);
    WStyleMenu->setObjectName(QStringLiteral("WStyleMenu"));
    auto* kindGroup = new QActionGroup(this);
    NKanji = addRadio(WStyleMenu, kindGroup, "NKanji", QStringLiteral("Кандзи"));
    NKana = addRadio(WStyleMenu, kindGroup, "NKana", QStringLiteral("Кана"));
    NTrans = addRadio(WStyleMenu, kindGroup, "NTrans", QStringLiteral("Перевод"));
    connect(WStyleMenu, &QMenu::aboutToShow, this, &TForm2::WStyleMenuPopup);
    connect(NKanji, &QAction::triggered, this, &TForm2::NKanjiClick);
    connect(NKana, &QAction::triggered, this, &TForm2::NKanaClick);
    connect(NTrans, &QAction::triggered, this, &TForm2::NTransClick);
}

QToolButton* TForm2::makeButton(QWidget* panel, const char* name, const QString& picture,
                                const QString& hint, int left, int top) {
    auto* b = new QToolButton(panel);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setToolTipDuration(kHintDuration);
    // The disabled picture is the toolkit's greyed rendering of the same one.
    // From a pixmap: an icon made from a file name would load every icon and image plugin.
    b->setIcon(QIcon(QPixmap(QStringLiteral(":/icons/") + picture + QStringLiteral(".png"))));
    b->setIconSize(QSize(16, 16));
    b->setGeometry(left, top, 23, 22);
    b->setFocusPolicy(Qt::NoFocus);
    b->setEnabled(false);
    return b;
}

void TForm2::FormCreate(const QString& deckPath) {
    m_placement = new platform::FramePlacement(*this);
    // The program's own placing is no drag: the magnet leaves it alone.
    m_placement->onPending = [this](bool pending) {
        FormMagnet1->setSuspended(pending);
    };
    m_hintForm = std::make_unique<THintForm>(this, KanjiPictures::of(m_layout));
    HintForm = m_hintForm.get();
    setWindowTitle(programVersionTitle());
    m_model.Graded = false;
    m_model.DeckLoaded = false;
    m_model.Paused = false;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_placement->place(QPoint(settings::defaultLeft(screen->geometry().width(), width()), 0));

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
    const platform::IniStore ini(m_layout.settingsFile);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 0;
    if (const auto pos = settings::load(ini, m_model, settings::defaultLeft(screenWidth, width())))
        m_placement->place(*pos);
}

void TForm2::SaveSettings() {
    // An installed program's settings folder is made on the first save.
    if (m_layout.installed)
        QDir().mkpath(QFileInfo(m_layout.settingsFile).absolutePath());
    platform::IniStore ini(m_layout.settingsFile);
    settings::save(ini, m_model, pos());
    if (ini.differsFromFile())
        ini.save();
    m_settingsUnsaved = false;
}

bool TForm2::writeSettings(QString* error) {
    try {
        SaveSettings();
        return true;
    } catch (const platform::Error& e) {
        *error = e.text();
        return false;
    }
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
    case DeckLoadResult::InUse:
        platform::showError(this, TrainerModel::inUseText(path));
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
    const DeckSaveResult result = m_model.saveDeck(path);
    if (!result) {
        platform::showError(this, TrainerModel::saveFailedText(path));
        return false;
    }
    m_deckUnsaved = false;
    tellKeptCopy(result);
    return true;
}

QString TForm2::keptCopyText(const DeckSaveResult& result) const {
    return QStringLiteral("Файл ") + m_model.deckFile() +
           QStringLiteral(" был изменён другой программой. Его копия сохранена в файле ") +
           result.keptCopy + u'.';
}

void TForm2::tellKeptCopy(const DeckSaveResult& result) {
    if (!result.keptCopy.isEmpty())
        platform::showNotice(this, keptCopyText(result));
}

void TForm2::onModelChanged(TrainerModel::Change what) {
    if (m_ended)
        return;
    (what == TrainerModel::Change::Deck ? m_deckUnsaved : m_settingsUnsaved) = true;
    // The first change of a batch starts the clock; later ones ride along, so a steady stream of
    // gradings is still written every second.
    if (!TimerSave->isActive())
        TimerSave->start();
}

void TForm2::reportDuringRun(const std::function<void()>& show) {
    const bool wasPaused = m_model.Paused;
    if (!wasPaused)
        PauseTraining();
    show();
    if (!wasPaused)
        ResumeTraining();
}

void TForm2::TimerSaveTimer() {
    TimerSave->stop();
    if (m_ended)
        return;
    if (m_deckUnsaved) {
        m_deckUnsaved = false;
        const DeckSaveResult result = m_model.saveDeck(m_model.Dictionary);
        if (!result) {
            // Still unsaved: the exit flow and the next change try again.
            m_deckUnsaved = true;
            if (!m_deckFailureReported) {
                m_deckFailureReported = true;
                reportDuringRun([&] {
                    platform::showError(this, TrainerModel::saveFailedText(m_model.Dictionary));
                });
            }
        } else {
            m_deckFailureReported = false;
            if (!result.keptCopy.isEmpty())
                reportDuringRun([&] { tellKeptCopy(result); });
        }
    }
    if (m_settingsUnsaved) {
        QString error;
        if (!writeSettings(&error)) {
            m_settingsUnsaved = true;
            if (!m_settingsFailureReported) {
                m_settingsFailureReported = true;
                reportDuringRun([&] { platform::showError(this, error); });
            }
        } else {
            m_settingsFailureReported = false;
        }
    }
}

void TForm2::endRun() {
    m_ended = true;
    TimerSave->stop();
    TimerGlobal->stop();
    Tray->setActive(false);
}

bool TForm2::saveWithoutBoxes() {
    bool ok = true;
    const DeckSaveResult deck = m_model.saveDeck(m_model.Dictionary);
    if (!deck) {
        ok = false;
        qWarning().noquote() << TrainerModel::saveFailedText(m_model.Dictionary) << deck.error;
    } else {
        m_deckUnsaved = false;
        if (!deck.keptCopy.isEmpty())
            qWarning().noquote() << keptCopyText(deck);
    }
    QString error;
    if (!writeSettings(&error)) {
        ok = false;
        qWarning().noquote() << error;
    }
    return ok;
}

bool TForm2::endWithoutQuestion() {
    if (m_ended)
        return true;
    const bool ok = saveWithoutBoxes();
    endRun();
    return ok;
}

void TForm2::commitSessionData() {
    // No box: a logout must never wait for this program.
    if (!m_ended)
        saveWithoutBoxes();
}

void TForm2::bringUp() {
    if (m_ended)
        return;
    showFromTray();
    raise();
    activateWindow();
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

void TForm2::SetupBtnClick() {
    PauseTraining();
    const int result = execDialog(setupForm());
    // Words may have been added, deleted or switched on and off: the active list is rebuilt from
    // the words' flags on every close, so it never points outside the deck.
    TrainerModel& m = m_model;
    m.rebuildActiveList();
    if (m.CurrentPos >= m.ActiveCount)
        m.CurrentPos = 0;
    // Fonts chosen in the dialog hold even after Cancel; an unchanged file is not rewritten.
    m.changed(TrainerModel::Change::Settings);
    if (result == QDialog::Accepted) {
        m.changed(TrainerModel::Change::Deck);
        const QString f = SetupForm->FNameEdit->FileName();
        if (f != m.Dictionary) {
            // A deck that could not be read leaves the run paused until the user resumes it.
            if (switchDeck(f) == DeckSwitch::Unreadable)
                return;
        } else {
            ShowCard(false);
        }
    }
    ResumeTraining();
}

TForm2::DeckSwitch TForm2::switchDeck(const QString& path) {
    TrainerModel& m = m_model;
    // A deck that cannot be written stays loaded unless the user lets its counts go.
    if (!SaveDeck(m.Dictionary) &&
        !platform::askQuestion(this, QStringLiteral("Продолжить без сохранения?"),
                               platform::Answer::No))
        return DeckSwitch::Kept;
    // The new deck starts with nothing unsaved.
    m_deckUnsaved = false;
    try {
        if (LoadDeck(path)) {
            m.Dictionary = path;
            ShowCard(true);
        } else {
            m.Dictionary.clear();
        }
    } catch (const platform::Error& e) {
        // The deck could not be read: nothing is loaded and the old path stays.
        platform::showError(this, e.text());
        return DeckSwitch::Unreadable;
    }
    return DeckSwitch::Switched;
}

void TForm2::openHandedOver(const QStringList& args) {
    if (m_ended)
        return;
    // A dialog or message box of this program is waiting for the user: the deck is opened once
    // it is answered.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(kHandOverRetryMs, this, [this, args] { openHandedOver(args); });
        return;
    }
    bringUp();
    if (args.size() < 2 || args.at(1).isEmpty())
        return;
    // The start that handed the path over made it absolute.
    const QString path = args.at(1);
    TrainerModel& m = m_model;
    if (m.DeckLoaded &&
        platform::paths::canonical(m.deckFile()) == platform::paths::canonical(path))
        return;
    PauseTraining();
    const DeckSwitch result = switchDeck(path);
    m.changed(TrainerModel::Change::Settings);
    if (result != DeckSwitch::Unreadable)
        ResumeTraining();
}

// The dialogs are created once, on their first use, and kept: a window that trains all day
// need not carry them from the start.
TSetupForm& TForm2::setupForm() {
    if (!SetupForm) {
        SetupForm = new TSetupForm(m_model, this);
        EditForm = new TEditForm(this);
        SetupForm->EditForm = EditForm;
    }
    return *SetupForm;
}

TAboutForm& TForm2::aboutForm() {
    if (!AboutForm)
        AboutForm = new TAboutForm(this);
    return *AboutForm;
}

void TForm2::LinkLabel1Click() {
    PauseTraining();
    execDialog(aboutForm());
    ResumeTraining();
}

int TForm2::execDialog(QDialog& dialog) {
    // The hint window stays on top of every window: it keeps out of the dialog's way.
    if (HintForm)
        HintForm->setSuppressed(true);
    const int result = platform::execModal(dialog);
    if (HintForm)
        HintForm->setSuppressed(false);
    return result;
}

void TForm2::N3Click() {
    close();
}

void TForm2::TrayClick(Qt::MouseButton button) {
    // The user asked for the window: it comes with the keyboard.
    if (button == Qt::LeftButton)
        bringUp();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    // Each key does what its button does, and nothing while the button is disabled. A held key
    // does not repeat a grading.
    QToolButton* button = nullptr;
    switch (event->key()) {
    case Qt::Key_Space:
        if (!event->isAutoRepeat() && cardOnShow() && m_model.AnswerCountdown != -2) {
            m_model.AnswerCountdown = -2;
            ShowCard(false);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        button = RBtn;
        break;
    case Qt::Key_Backspace:
        button = FBtn;
        break;
    case Qt::Key_Right:
        button = NextBtn;
        break;
    case Qt::Key_Left:
        button = PrevBtn;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (button->isEnabled() && !event->isAutoRepeat())
        button->click();
}

void TForm2::showFromTray() {
    // A window hidden from the minimised state comes back as it was before the minimise.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}

void TForm2::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // The hint window goes and comes with this one.
    if (HintForm)
        HintForm->followMainWindow();
    // Hidden after the minimise has been handled, not in the middle of it.
    if (isMinimized())
        QMetaObject::invokeMethod(this, &TForm2::HideOnMinimize, Qt::QueuedConnection);
}

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (HintForm)
        HintForm->followMainWindow();
}

void TForm2::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (HintForm)
        HintForm->followMainWindow();
}

void TForm2::HideOnMinimize() {
    // Without a notification area nothing could bring a hidden window back: it stays minimised.
    // The minimised state stays until the window is shown again: restoring it on a hidden window
    // would map the window once more on some desktops.
    // The notification area is looked for anew: it may have come or gone since the start.
    if (isMinimized() && isVisible() && Tray->refresh())
        hide();
}

void TForm2::closeEvent(QCloseEvent* event) {
    if (m_ended) {
        // Saved already, by an ending without the question.
        event->accept();
        return;
    }
    PauseTraining();
    if (!platform::askQuestion(this, QStringLiteral("Вы уверены, что хотите выйти?"))) {
        event->ignore();
        ResumeTraining();
        return;
    }
    TimerSave->stop();
    // A deck or settings file that cannot be written lets the user choose: end anyway, or keep
    // the window open (paused) to free the disk or mend the permissions and close again.
    const bool deckSaved = SaveDeck(m_model.Dictionary);
    bool settingsSaved = false;
    if (deckSaved) {
        QString error;
        settingsSaved = writeSettings(&error);
        if (!settingsSaved)
            platform::showError(this, error);
    }
    if (!deckSaved || !settingsSaved) {
        if (!platform::askQuestion(this, QStringLiteral("Выйти без сохранения?"),
                                   platform::Answer::No)) {
            event->ignore();
            return;
        }
        // Whatever can still be written is.
        QString error;
        if (!deckSaved && !writeSettings(&error))
            qWarning().noquote() << error;
    }
    endRun();
    HintForm = nullptr;
    m_hintForm.reset();
    event->accept();
    emit FormClosed();
}
