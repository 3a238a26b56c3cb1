#include "dialogs/usetup.h"

#include "app/model/kindfont.h"
#include "app/model/trainermodel.h"
#include "dialogs/uedit.h"
#include "platform/colors.h"
#include "platform/fontdialog.h"
#include "platform/fonts.h"
#include "platform/messagebox.h"
#include "platform/modal.h"
#include "widgets/colorcombobox.h"
#include "widgets/filenameedit.h"
#include "widgets/spinedit.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top) {
    auto* lab = new QLabel(text, parent);
    lab->move(left, top);
    lab->adjustSize();
    return lab;
}

QRadioButton* makeRadio(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* b = new QRadioButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->move(left, top);
    b->adjustSize();
    return b;
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& title, QRect r) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setGeometry(r);
    return g;
}

// A strip across the top of a group box naming the label it stands for.
QLabel* makeStrip(QGroupBox* box, const char* name, const QString& text) {
    auto* lab = new QLabel(text, box);
    lab->setObjectName(QString::fromLatin1(name));
    lab->setGeometry(2, 15, box->width() - 4, 13);
    lab->setAlignment(Qt::AlignCenter);
    lab->setAutoFillBackground(true);
    QFont bold = lab->font();
    bold.setBold(true);
    lab->setFont(bold);
    return lab;
}

void setColors(QWidget* w, qint32 background, qint32 text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, platform::toQColor(background));
    p.setColor(QPalette::WindowText, platform::toQColor(text));
    w->setPalette(p);
}

// Checks b, or clears it even when it is the checked button of its exclusive group.
void setRadio(QRadioButton* b, bool checked) {
    if (b->isChecked() == checked)
        return;
    if (checked) {
        b->setChecked(true);
        return;
    }
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(true);
}

// Grid lines between the cells of the word list.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
};

constexpr int kListButtonTop = 280;

} // namespace

TSetupForm::TSetupForm(TrainerModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("SetupForm"));
    setWindowTitle(QStringLiteral("Настройки"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(platform::windowFont());
    setFixedSize(399, 309);

    PControl = new QTabWidget(this);
    PControl->setObjectName(QStringLiteral("PControl"));
    PControl->setGeometry(0, 1, 399, 272);
    auto* settingsPage = new QWidget;
    auto* deckPage = new QWidget;
    auto* fontPage = new QWidget;
    PControl->addTab(settingsPage, QStringLiteral("Настройки"));
    PControl->addTab(deckPage, QStringLiteral("Словарь"));
    PControl->addTab(fontPage, QStringLiteral("Шрифт"));
    createSettingsTab(settingsPage);
    createDeckTab(deckPage);
    createFontTab(fontPage);

    AddBtn = makeListButton("AddBtn", QStringLiteral("add"), QStringLiteral("Добавить запись"), 52);
    DelBtn =
        makeListButton("DelBtn", QStringLiteral("delete"), QStringLiteral("Удалить запись"), 78);
    EditBtn = makeListButton("EditBtn", QStringLiteral("edit"),
                             QStringLiteral("Редактировать запись"), 104);
    SaveBtn =
        makeListButton("SaveBtn", QStringLiteral("save"), QStringLiteral("Сохранить в файл"), 130);
    connect(AddBtn, &QToolButton::clicked, this, &TSetupForm::AddBtnClick);
    connect(DelBtn, &QToolButton::clicked, this, &TSetupForm::DelBtnClick);
    connect(EditBtn, &QToolButton::clicked, this, &TSetupForm::EditBtnClick);
    connect(SaveBtn, &QToolButton::clicked, this, &TSetupForm::SaveBtnClick);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(239, 279, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(316, 279, 75, 25);
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        // A mistyped deck path is refused here too (Enter leaves the field without leaving it):
        // the dialog stays open with the path put back.
        if (!checkDeckFileName())
            return;
        BitBtn1Click();
        accept();
    });
    // Esc and the close box reject the dialog as Cancel does.
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    connect(PControl, &QTabWidget::currentChanged, this, &TSetupForm::PControlChange);
    PControlChange();
}

QToolButton* TSetupForm::makeListButton(const char* name, const QString& picture,
                                        const QString& hint, int left) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    b->setIcon(QIcon(QPixmap(QStringLiteral(":/icons/") + picture + QStringLiteral(".png"))));
    b->setIconSize(QSize(16, 16));
    b->setToolTip(hint);
    b->setGeometry(left, kListButtonTop, 23, 22);
    b->hide();
    return b;
}

void TSetupForm::createSettingsTab(QWidget* page) {
    GroupBox1 = makeGroup(page, "GroupBox1", QStringLiteral(" Проверять "), {3, 6, 185, 71});
    Label5 = makeStrip(GroupBox1, "Label5", QStringLiteral("Сверху"));
    setColors(Label5, 0x00FF00, 0);
    TKanaCB = makeRadio(GroupBox1, "TKanaCB", QStringLiteral("Кана"), 7, 38);
    TKanjiCB = makeRadio(GroupBox1, "TKanjiCB", QStringLiteral("Кандзи"), 54, 37);
    TTransCB = makeRadio(GroupBox1, "TTransCB", QStringLiteral("Перевод"), 116, 38);

    GroupBox5 = makeGroup(page, "GroupBox5", QStringLiteral(" Проверять "), {3, 83, 185, 59});
    Label6 = makeStrip(GroupBox5, "Label6", QStringLiteral("Снизу"));
    setColors(Label6, 0x00FFFF, 0);
    BKanaCB = makeRadio(GroupBox5, "BKanaCB", QStringLiteral("Кана"), 6, 32);
    BKanjiCB = makeRadio(GroupBox5, "BKanjiCB", QStringLiteral("Кандзи"), 54, 32);
    BTransCB = makeRadio(GroupBox5, "BTransCB", QStringLiteral("Перевод"), 116, 32);
    // A radio button's handler runs whenever it becomes checked, by the user or by FormShow.
    for (QRadioButton* b : {TKanaCB, TKanjiCB, TTransCB})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                TKanaCBClick();
        });
    for (QRadioButton* b : {BKanaCB, BKanjiCB, BTransCB})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                BKanaCBClick();
        });

    GroupBox4 = makeGroup(page, "GroupBox4", QStringLiteral(" Файл "), {3, 144, 185, 51});
    FNameEdit = new TFilenameEdit(GroupBox4);
    FNameEdit->setObjectName(QStringLiteral("FNameEdit"));
    FNameEdit->setGeometry(8, 18, 169, 21);
    FNameEdit->setFilter(QStringLiteral("SB files (*.sb)|*.sb|All files (*.*)|*.*"));
    FNameEdit->setDefaultExt(QStringLiteral("sb"));
    connect(FNameEdit, &TFilenameEdit::OnExit, this, &TSetupForm::FNameEditExit);

    GroupBox3 = makeGroup(page, "GroupBox3", QStringLiteral(" Показывать "), {192, 6, 193, 136});
    makeLabel(GroupBox3, QStringLiteral("Карточку через"), 8, 22);
    CardTimeEdit = new TSpinEdit(GroupBox3);
    CardTimeEdit->setObjectName(QStringLiteral("CardTimeEdit"));
    CardTimeEdit->setGeometry(96, 19, 44, 21);
    CardTimeEdit->setRange(0, 600);
    makeLabel(GroupBox3, QStringLiteral("минут"), 146, 22);
    makeLabel(GroupBox3, QStringLiteral("Ответ через"), 26, 46);
    TransEdit = new TSpinEdit(GroupBox3);
    TransEdit->setObjectName(QStringLiteral("TransEdit"));
    TransEdit->setGeometry(96, 44, 44, 21);
    TransEdit->setRange(1, 900);
    makeLabel(GroupBox3, QStringLiteral("секунд"), 146, 46);
    // The box stands to the right of its caption.
    ShowHintBtn = new QCheckBox(QStringLiteral("Подсказки"), GroupBox3);
    ShowHintBtn->setObjectName(QStringLiteral("ShowHintBtn"));
    ShowHintBtn->setGeometry(34, 71, 75, 17);
    ShowHintBtn->setLayoutDirection(Qt::RightToLeft);
    SaveFPosCB = new QCheckBox(QStringLiteral("Сохранять положение формы"), GroupBox3);
    SaveFPosCB->setObjectName(QStringLiteral("SaveFPosCB"));
    SaveFPosCB->setLayoutDirection(Qt::RightToLeft);
    // Its box stays at the right edge of its place; a caption wider in this desktop's font than
    // in the layout's grows to the left rather than being cut.
    const int wanted = std::max(169, SaveFPosCB->sizeHint().width());
    SaveFPosCB->setGeometry(std::max(2, 8 + 169 - wanted), 110, wanted, 17);

    GroupBox2 =
        makeGroup(page, "GroupBox2", QStringLiteral(" Последовательность "), {194, 144, 193, 51});
    RandomCB = makeRadio(GroupBox2, "RandomCB", QStringLiteral("Случайно"), 6, 22);
    OneByOneCB = makeRadio(GroupBox2, "OneByOneCB", QStringLiteral("По порядку"), 104, 23);
}

void TSetupForm::createDeckTab(QWidget* page) {
    DicList = new QTreeWidget(page);
    DicList->setObjectName(QStringLiteral("DicList"));
    DicList->setRootIsDecorated(false);
    DicList->setUniformRowHeights(true);
    DicList->setSelectionMode(QAbstractItemView::SingleSelection);
    DicList->setSelectionBehavior(QAbstractItemView::SelectRows);
    DicList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DicList->setItemDelegate(new GridDelegate(DicList));
    DicList->setHeaderLabels(
        {QStringLiteral("Кандзи"), QStringLiteral("Кана"), QStringLiteral("Перевод")});
    DicList->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    DicList->headerItem()->setTextAlignment(2, Qt::AlignCenter);
    DicList->header()->setStretchLastSection(true);
    DicList->header()->setSectionsMovable(false);
    DicList->setColumnWidth(0, 85);
    DicList->setColumnWidth(1, 90);
    // The selection stays visible when the list loses the focus.
    QPalette p = DicList->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    DicList->setPalette(p);
    connect(DicList, &QTreeWidget::itemDoubleClicked, this, [this] { EditBtnClick(); });
    auto* layout = new QVBoxLayout(page); // the list fills the tab
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DicList);
}

void TSetupForm::createFontTab(QWidget* page) {
    GroupBox6 = new QGroupBox(QStringLiteral(" Шрифт "), page);
    GroupBox6->setObjectName(QStringLiteral("GroupBox6"));
    auto* layout = new QVBoxLayout(page); // the box fills the tab
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox6);
    struct Row {
        const char* heading;
        int headingTop;
        QPushButton** button;
        const char* buttonName;
        int buttonTop, fontLabelTop;
        TColorComboBox** picker;
        const char* pickerName;
        int pickerTop, colorLabelTop;
        QLabel** preview;
        const char* previewName;
        int previewTop;
    };
    const Row rows[] = {
        {"Иероглифы:", 16, &BitBtn3, "BitBtn3", 31, 36, &JapColorCB, "JapColorCB", 58, 61, &FLab1,
         "FLab1", 20},
        {"Кана:", 91, &BitBtn4, "BitBtn4", 105, 110, &KanaColorCB, "KanaColorCB", 132, 135, &FLab2,
         "FLab2", 96},
        {"Переводы:", 167, &BitBtn5, "BitBtn5", 182, 188, &TransColorCB, "TransColorCB", 210, 213,
         &FLab3, "FLab3", 171},
    };
    for (const Row& r : rows) {
        auto* heading = new QLabel(QString::fromUtf8(r.heading), GroupBox6);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        heading->setGeometry(10, r.headingTop, 136, 13);
        makeLabel(GroupBox6, QStringLiteral("Шрифт:"), 10, r.fontLabelTop);
        auto* button = new QPushButton(QStringLiteral("Установить"), GroupBox6);
        button->setObjectName(QString::fromLatin1(r.buttonName));
        button->setGeometry(56, r.buttonTop, 86, 25);
        *r.button = button;
        makeLabel(GroupBox6, QStringLiteral("Цвет:"), 10, r.colorLabelTop);
        auto* picker = new TColorComboBox(GroupBox6);
        picker->setObjectName(QString::fromLatin1(r.pickerName));
        picker->setGeometry(56, r.pickerTop, 86, 20);
        connect(picker, &TColorComboBox::OnChange, this, &TSetupForm::JapColorCBChange);
        *r.picker = picker;
        // The preview sits in a lowered bevel one pixel wider than itself.
        auto* bevel = new QFrame(GroupBox6);
        bevel->setFrameShape(QFrame::Panel);
        bevel->setFrameShadow(QFrame::Sunken);
        bevel->setGeometry(151, r.previewTop, 227, 65);
        auto* preview = new QLabel(GroupBox6);
        preview->setObjectName(QString::fromLatin1(r.previewName));
        preview->setGeometry(152, r.previewTop, 225, 65);
        preview->setAlignment(Qt::AlignCenter);
        preview->setWordWrap(true);
        preview->setAutoFillBackground(true);
        *r.preview = preview;
    }
    connect(BitBtn3, &QPushButton::clicked, this, &TSetupForm::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TSetupForm::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TSetupForm::BitBtn5Click);
}

void TSetupForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        platform::centreOnScreen(*this); // as the dialog's layout asks
        FormShow();
    }
    QDialog::showEvent(event);
}

void TSetupForm::FormShow() {
    TrainerModel& m = m_model;
    QRadioButton* const top[] = {TKanjiCB, TKanaCB, TTransCB};
    QRadioButton* const bottom[] = {BKanjiCB, BKanaCB, BTransCB};
    for (int k = 0; k < kWordKindCount; ++k)
        top[k]->setEnabled(k != m.BottomWordStyle);
    for (int k = 0; k < kWordKindCount; ++k)
        setRadio(top[k], k == m.TopWordStyle);
    for (int k = 0; k < kWordKindCount; ++k)
        bottom[k]->setEnabled(k != m.TopWordStyle);
    for (int k = 0; k < kWordKindCount; ++k)
        setRadio(bottom[k], k == m.BottomWordStyle);
    setRadio(RandomCB, m.Style == 0);
    setRadio(OneByOneCB, m.Style == 1);
    CardTimeEdit->setValue(m.ShowNewCard);
    TransEdit->setValue(m.ShowTranslation);
    JapColorCB->setColorValue(m.kindStyle(wkKanji).Color);
    KanaColorCB->setColorValue(m.kindStyle(wkKana).Color);
    TransColorCB->setColorValue(m.kindStyle(wkTranslation).Color);
    // The strips show the kanji and kana kinds' colours, whatever is chosen for top and bottom.
    setColors(Label5, m.kindStyle(wkKanji).Color, m.kindStyle(wkKanji).Font.Color);
    setColors(Label6, m.kindStyle(wkKana).Color, m.kindStyle(wkKana).Font.Color);
    ShowHintBtn->setChecked(m.ShowHint);
    SaveFPosCB->setChecked(m.FormPos);
    FNameEdit->setFileName(m.Dictionary);
    FillDeckList();
    UpdateFontPreview();
}

void TSetupForm::TKanaCBClick() {
    BKanjiCB->setEnabled(!TKanjiCB->isChecked());
    BKanaCB->setEnabled(!TKanaCB->isChecked());
    BTransCB->setEnabled(!TTransCB->isChecked());
}

void TSetupForm::BKanaCBClick() {
    TKanjiCB->setEnabled(!BKanjiCB->isChecked());
    TKanaCB->setEnabled(!BKanaCB->isChecked());
    TTransCB->setEnabled(!BTransCB->isChecked());
}

void TSetupForm::BitBtn1Click() {
    TrainerModel& m = m_model;
    if (TKanjiCB->isChecked())
        m.TopWordStyle = wkKanji;
    else if (TKanaCB->isChecked())
        m.TopWordStyle = wkKana;
    else if (TTransCB->isChecked())
        m.TopWordStyle = wkTranslation;
    if (BKanjiCB->isChecked())
        m.BottomWordStyle = wkKanji;
    else if (BKanaCB->isChecked())
        m.BottomWordStyle = wkKana;
    else if (BTransCB->isChecked())
        m.BottomWordStyle = wkTranslation;
    m.Style = RandomCB->isChecked() ? 0 : 1;
    m.kindStyle(wkKanji).Color = JapColorCB->ColorValue();
    m.kindStyle(wkKana).Color = KanaColorCB->ColorValue();
    m.kindStyle(wkTranslation).Color = TransColorCB->ColorValue();
    m.ShowHint = ShowHintBtn->isChecked();
    m.FormPos = SaveFPosCB->isChecked();
    m.setIntervals(CardTimeEdit->value(), TransEdit->value());

    m.ActiveList.clear();
    m.ActiveCount = 0;
    if (!m.DeckLoaded)
        return;
    for (qint32 i = 0; i < m.WordCount && i < DicList->topLevelItemCount(); ++i) {
        TDictRec& w = m.Dict.Words[size_t(i)];
        w.Active = DicList->topLevelItem(i)->checkState(0) == Qt::Checked;
        if (w.Active)
            m.ActiveList.push_back(i);
    }
    m.ActiveCount = qint32(m.ActiveList.size());
}

void TSetupForm::chooseFont(KindFont& font) {
    platform::FontDialog dialog(this);
    dialog.setChoice(
        {font.Name, font.Size, font.Color, font.Bold, font.Italic, font.Underline, font.StrikeOut});
    if (platform::execModal(dialog) != QDialog::Accepted)
        return;
    // The kind's font changes at once: a later Cancel of this dialog keeps it.
    const platform::FontChoice c = dialog.choice();
    font.Name = c.Name;
    font.Size = c.Size;
    font.Color = c.Color;
    font.Bold = c.Bold;
    font.Italic = c.Italic;
    font.Underline = c.Underline;
    font.StrikeOut = c.StrikeOut;
    UpdateFontPreview();
}

void TSetupForm::BitBtn3Click() {
    chooseFont(m_model.kindStyle(wkKanji).Font);
}

void TSetupForm::BitBtn4Click() {
    chooseFont(m_model.kindStyle(wkKana).Font);
}

void TSetupForm::BitBtn5Click() {
    chooseFont(m_model.kindStyle(wkTranslation).Font);
}

void TSetupForm::JapColorCBChange() {
    UpdateFontPreview();
}

void TSetupForm::UpdateFontPreview() {
    const struct {
        QLabel* lab;
        TWordKind kind;
        const char* text;
        TColorComboBox* picker;
    } previews[] = {{FLab1, wkKanji, "平野", JapColorCB},
                    {FLab3, wkTranslation, "равнина", TransColorCB},
                    {FLab2, wkKana, "へいや", KanaColorCB}};
    for (const auto& p : previews) {
        const KindFont& font = m_model.kindStyle(p.kind).Font;
        p.lab->setFont(toQFont(font));
        p.lab->setText(QString::fromUtf8(p.text));
        // The picker's colour, not yet the kind's: the preview shows what OK would store.
        setColors(p.lab, p.picker->ColorValue(), font.Color);
    }
}

void TSetupForm::FNameEditExit() {
    checkDeckFileName();
}

bool TSetupForm::checkDeckFileName() {
    const QString name = FNameEdit->FileName();
    if (name.isEmpty() || QFileInfo(m_model.resolveDeckPath(name)).isFile())
        return true;
    platform::showError(this, QStringLiteral("Файла ") + name + QStringLiteral(" не существует!"));
    FNameEdit->setFileName(m_model.Dictionary);
    return false;
}

void TSetupForm::PControlChange() {
    const bool deckTab = PControl->currentIndex() == 1;
    for (QToolButton* b : {AddBtn, DelBtn, EditBtn, SaveBtn})
        b->setVisible(deckTab);
}

void TSetupForm::FillDeckList() {
    DicList->clear();
    // A word cannot be added to a deck that is not loaded.
    AddBtn->setEnabled(m_model.DeckLoaded);
    if (m_model.WordCount < 0)
        return;
    DicList->setUpdatesEnabled(false);
    QList<QTreeWidgetItem*> rows;
    rows.reserve(m_model.WordCount);
    for (qint32 i = 0; i < m_model.WordCount; ++i) {
        const TDictRec& w = m_model.Dict.Words[size_t(i)];
        auto* item = new QTreeWidgetItem({w.Kanji, w.Kana, w.Translation});
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(0, w.Active ? Qt::Checked : Qt::Unchecked);
        item->setTextAlignment(1, Qt::AlignCenter);
        item->setTextAlignment(2, Qt::AlignCenter);
        rows << item;
    }
    DicList->addTopLevelItems(rows);
    DicList->setCurrentItem(nullptr);
    DicList->clearSelection();
    DicList->setUpdatesEnabled(true);
}

int TSetupForm::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = DicList->selectedItems();
    return selected.isEmpty() ? -1 : DicList->indexOfTopLevelItem(selected.first());
}

void TSetupForm::AddBtnClick() {
    if (!m_model.DeckLoaded || !EditForm)
        return;
    EditForm->KanjiText.clear();
    EditForm->KanaText.clear();
    EditForm->TranslationText.clear();
    if (platform::execModal(*EditForm) == QDialog::Accepted) {
        TDictRec w;
        w.Kanji = EditForm->JWrdEdit->text();
        w.Kana = EditForm->KWrdEdit->text();
        w.Translation = EditForm->TrWrdEdit->text();
        m_model.Dict.Words.push_back(w);
        m_model.WordCount = qint32(m_model.Dict.Words.size());
        m_model.changed(TrainerModel::Change::Deck);
    }
    FillDeckList();
}

void TSetupForm::EditBtnClick() {
    const int row = selectedRow();
    if (row < 0 || row >= m_model.WordCount || !EditForm)
        return;
    TDictRec& w = m_model.Dict.Words[size_t(row)];
    EditForm->KanjiText = w.Kanji;
    EditForm->KanaText = w.Kana;
    EditForm->TranslationText = w.Translation;
    if (platform::execModal(*EditForm) == QDialog::Accepted) {
        w.Kanji = EditForm->JWrdEdit->text();
        w.Kana = EditForm->KWrdEdit->text();
        w.Translation = EditForm->TrWrdEdit->text();
        m_model.changed(TrainerModel::Change::Deck);
    }
    FillDeckList();
}

void TSetupForm::DelBtnClick() {
    const int row = selectedRow();
    if (row < 0 || row >= m_model.WordCount)
        return;
    if (!platform::askQuestion(this, QStringLiteral("Вы уверены, что хотите удалить запись?")))
        return;
    m_model.Dict.Words.erase(m_model.Dict.Words.begin() + row);
    m_model.WordCount = qint32(m_model.Dict.Words.size());
    m_model.CurrentPos = 0;
    m_model.changed(TrainerModel::Change::Deck);
    FillDeckList();
}

void TSetupForm::SaveBtnClick() {
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(
        TFilenameEdit::nameFilters(QStringLiteral("SB Files (*.sb)|*.sb|All files (*.*)|*.*")));
    dialog.setDefaultSuffix(QStringLiteral("sb"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString current =
        m_model.Dictionary.isEmpty() ? QString() : m_model.resolveDeckPath(m_model.Dictionary);
    if (!current.isEmpty()) {
        dialog.setDirectory(QFileInfo(current).absolutePath());
        dialog.selectFile(current);
    } else if (QFileInfo(m_model.AppDir).isDir()) {
        // No deck yet: a new one goes where bare deck names are looked for.
        dialog.setDirectory(m_model.AppDir);
    }
    if (platform::execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    // The copy is written; the deck stays tied to its own file.
    if (!m_model.saveDeck(path))
        platform::showError(this, TrainerModel::saveFailedText(path));
}
