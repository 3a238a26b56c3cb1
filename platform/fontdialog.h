#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace platform {

// A font as the font dialog edits it. Color is a toolkit colour value: 0x00BBGGRR for a plain
// colour, 0xFF000000 plus an index for a system colour.
struct FontChoice {
    QString Name;
    int Size = 0; // points
    qint32 Color = 0;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;

    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

class FontSample;

// The font dialog: family, style and size, the effects (strike-out, underline, text colour) and a
// sample of the choice in its colour. Only scalable fonts are listed. A family that is not
// installed (a stored name the program maps to another font) stays the choice until the user
// picks another one. Cancel puts the controls back to the last choice set or confirmed. Callers
// show it through execModal.
class FontDialog : public QDialog {
    Q_OBJECT

public:
    // The colours of the colour list, in order, with their names.
    struct NamedColor {
        qint32 value;
        const char16_t* name;
    };
    static const NamedColor StandardColors[16];

    explicit FontDialog(QWidget* parent = nullptr);
    ~FontDialog() override;

    void setChoice(const FontChoice& choice);
    FontChoice choice() const;

    // The choice as a toolkit font (the colour aside); a size of 0 or less leaves the default.
    static QFont toFont(const FontChoice& choice);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillFamilies();
    void familyTyped(const QString& text);
    void familyPicked();
    void sizeTyped(const QString& text);
    void sizePicked();
    void stylePicked();
    void selectColor(qint32 value);
    void updateSample();

    FontChoice m_initial;
    QLineEdit* m_familyEdit;
    QListWidget* m_familyList;
    QLineEdit* m_styleEdit;
    QListWidget* m_styleList;
    QLineEdit* m_sizeEdit;
    QListWidget* m_sizeList;
    QCheckBox* m_strikeOut;
    QCheckBox* m_underline;
    QComboBox* m_color;
    FontSample* m_sample;
    bool m_syncing = false;
};

} // namespace platform
