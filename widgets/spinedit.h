#pragma once

#include <QSpinBox>

// A whole-number field with up and down buttons. The buttons and the Up and Down keys step by 1.
// Only digits, "+" and "-" can be typed; after every change the text is rewritten with the value
// it reads as, kept within the range: a number beyond a bound becomes that bound, and text that
// is not a whole number (empty, a lone sign, "1-2") reads as the lower bound. So the field never
// shows anything but the value, and value() follows every keystroke.
class TSpinEdit : public QSpinBox {
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    // The value text reads as within [minimum, maximum], as described above.
    static int readValue(QStringView text, int minimum, int maximum);

    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;
};
