#pragma once

#include <QLineEdit>
#include <QStringList>

class QToolButton;

// A one-line file name field with a browse button at its right end. The button (and Alt+Down)
// opens a file-open dialog that starts in the folder of the current name, with that name
// preselected; a confirmed choice replaces the text and the focus comes back to the field.
// A name that contains a space is shown enclosed in double quotes, which FileName() drops.
class TFilenameEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(QString Filter READ Filter WRITE setFilter)
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE setDefaultExt)

public:
    explicit TFilenameEdit(QWidget* parent = nullptr);

    // The name in the field without the enclosing double quotes.
    QString FileName() const;
    void setFileName(const QString& name);

    // The dialog's filter as description|pattern pairs: "SB files (*.sb)|*.sb|All files (*.*)|*.*".
    // Patterns within a pair are separated by ";". The first pair is selected when browsing.
    const QString& Filter() const { return m_filter; }
    void setFilter(const QString& filter) { m_filter = filter; }
    // The extension, without the dot, added to a typed name that has none.
    const QString& DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& ext) { m_defaultExt = ext; }

    // The filter as the file dialog's name filters: one "description (patterns)" entry per pair.
    // "*.*" matches every file, so it becomes "*" (a name needs no dot to be a file's).
    static QStringList nameFilters(const QString& filter);

    QToolButton* browseButton() const { return m_button; }

    // Shows the file-open dialog (through the platform's modal showing, so tests answer it).
    void browse();

signals:
    // The field lost the focus to another control of its window; not raised while the field's own
    // file dialog or a popup (the context menu) has it, nor when another window is activated.
    void OnExit();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void placeButton();

    QToolButton* m_button;
    QString m_filter;
    QString m_defaultExt;
    bool m_browsing = false;
};
