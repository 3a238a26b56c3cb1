#include "widgets/filenameedit.h"

#include "platform/modal.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr QChar Quote = u'"';

bool isQuoted(const QString& s) {
    return s.size() >= 2 && s.front() == Quote && s.back() == Quote;
}

} // namespace

TFilenameEdit::TFilenameEdit(QWidget* parent) : QLineEdit(parent), m_button(new QToolButton(this)) {
    m_button->setObjectName(QStringLiteral("BrowseBtn"));
    // Clicking the button leaves the focus in the field, so leaving the field is not signalled.
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon, nullptr, this));
    connect(m_button, &QToolButton::clicked, this, &TFilenameEdit::browse);
    placeButton();
}

QString TFilenameEdit::FileName() const {
    const QString t = text();
    return isQuoted(t) ? t.mid(1, t.size() - 2) : t;
}

void TFilenameEdit::setFileName(const QString& name) {
    if (name.contains(u' ') && !isQuoted(name))
        setText(Quote + name + Quote);
    else
        setText(name);
}

QStringList TFilenameEdit::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description usually repeats its patterns in parentheses; the dialog reads the
        // patterns from there, so they are replaced by the pair's own.
        if (description.endsWith(u')')) {
            const qsizetype open = description.lastIndexOf(u'(');
            if (open >= 0)
                description = description.left(open).trimmed();
        }
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            patterns << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        result << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

void TFilenameEdit::browse() {
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(m_filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.front());
    }
    dialog.setDefaultSuffix(m_defaultExt);

    const QString name = FileName();
    if (!name.isEmpty()) {
        const QFileInfo info(name);
        const QDir folder = info.absoluteDir();
        if (folder.exists()) {
            dialog.setDirectory(folder);
            // A name that ends in a separator names a folder, not a file.
            if (!info.fileName().isEmpty())
                dialog.selectFile(info.fileName());
        }
    }

    m_browsing = true;
    const int result = platform::execModal(dialog);
    m_browsing = false;
    if (result == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        setFileName(QDir::toNativeSeparators(dialog.selectedFiles().front()));
        setModified(true);
    }
    setFocus(Qt::OtherFocusReason);
}

void TFilenameEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (m_browsing || event->reason() == Qt::PopupFocusReason ||
        event->reason() == Qt::ActiveWindowFocusReason)
        return;
    emit OnExit();
}

void TFilenameEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier) {
        browse();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TFilenameEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    placeButton();
}

bool TFilenameEdit::event(QEvent* event) {
    const bool handled = QLineEdit::event(event);
    if (event->type() == QEvent::StyleChange) {
        m_button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon, nullptr, this));
        placeButton();
    }
    return handled;
}

// The button fills the inside of the frame at the right end, as wide as it is high; the text
// stops short of it.
void TFilenameEdit::placeButton() {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int side = std::max(height() - 2 * frame, 0);
    m_button->setGeometry(width() - frame - side, frame, side, side);
    m_button->setIconSize(QSize(16, 16).boundedTo(QSize(side - 4, side - 4)));
    setTextMargins(0, 0, side, 0);
}
