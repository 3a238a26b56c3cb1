#pragma once

#include <QWidget>

// The window with the stroke-order pictures of the kanji of the word on show: a tool window that
// stays on top. It shows no pictures yet.
class THintForm : public QWidget {
    Q_OBJECT

public:
    explicit THintForm(QWidget* parent = nullptr);

    // Prepares the pictures of the kanji in text.
    void ShowKanji(const QString& text);
};
