#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class TColorComboBox;
class TEditForm;
class TFilenameEdit;
class TSpinEdit;
class TrainerModel;
struct KindFont;

// The options dialog: what is shown on top and below, the order, the intervals, the deck file,
// hints and the window position on the first tab; the deck editor on the second; the fonts and
// background colours of the word kinds with a preview on the third. It edits the model in
// memory; the main window reads FNameEdit after OK.
class TSetupForm : public QDialog {
    Q_OBJECT

public:
    explicit TSetupForm(TrainerModel& model, QWidget* parent = nullptr);

    // The word editor used by Add and Edit (created after this dialog).
    TEditForm* EditForm = nullptr;

    // Handlers, public so tests can drive them as the user would.
    void FormShow();
    void TKanaCBClick();
    void BKanaCBClick();
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void JapColorCBChange();
    void UpdateFontPreview();
    void FNameEditExit();
    void PControlChange();
    void FillDeckList();
    void AddBtnClick();
    void EditBtnClick();
    void DelBtnClick();
    void SaveBtnClick();

    QTabWidget* PControl = nullptr;
    // Tab "Настройки".
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label5 = nullptr;
    QRadioButton* TKanaCB = nullptr;
    QRadioButton* TKanjiCB = nullptr;
    QRadioButton* TTransCB = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QLabel* Label6 = nullptr;
    QRadioButton* BKanaCB = nullptr;
    QRadioButton* BKanjiCB = nullptr;
    QRadioButton* BTransCB = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    TFilenameEdit* FNameEdit = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    TSpinEdit* CardTimeEdit = nullptr;
    TSpinEdit* TransEdit = nullptr;
    QCheckBox* ShowHintBtn = nullptr;
    QCheckBox* SaveFPosCB = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* RandomCB = nullptr;
    QRadioButton* OneByOneCB = nullptr;
    // Tab "Словарь".
    QTreeWidget* DicList = nullptr;
    // Tab "Шрифт".
    QGroupBox* GroupBox6 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    TColorComboBox* JapColorCB = nullptr;
    TColorComboBox* KanaColorCB = nullptr;
    TColorComboBox* TransColorCB = nullptr;
    QLabel* FLab1 = nullptr;
    QLabel* FLab2 = nullptr;
    QLabel* FLab3 = nullptr;
    // Below the tabs.
    QToolButton* AddBtn = nullptr;
    QToolButton* DelBtn = nullptr;
    QToolButton* EditBtn = nullptr;
    QToolButton* SaveBtn = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createSettingsTab(QWidget* page);
    void createDeckTab(QWidget* page);
    void createFontTab(QWidget* page);
    QToolButton* makeListButton(const char* name, const QString& picture, const QString& hint,
                                int left);
    void chooseFont(KindFont& font);
    // The check of FNameEditExit: false (after the message, with the field put back) when the
    // named file does not exist.
    bool checkDeckFileName();
    // The row of DicList that is selected, or -1.
    int selectedRow() const;

    TrainerModel& m_model;
};
