#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

// One panel of a TStatusBar. A hosted Control sits MarginLeft pixels right of the panel's left
// edge and MarginTop pixels below the top of the bar.
struct TStatusPanel {
    int Width = 50;
    Qt::Alignment Alignment = Qt::AlignLeft;
    QString Text;
    QPointer<QWidget> Control; // cleared when the control is destroyed
    int MarginLeft = 3;
    int MarginTop = 3;
};

// A status bar 19 pixels high whose panels show a text or host a control. Panels are laid out
// from the left with their widths; the last one reaches the right edge of the bar.
class TStatusBar : public QWidget {
    Q_OBJECT

public:
    explicit TStatusBar(QWidget* parent = nullptr);

    // Appends a panel and returns its index.
    int addPanel(int width, Qt::Alignment alignment = Qt::AlignLeft);
    int panelCount() const { return int(m_panels.size()); }
    const TStatusPanel& panel(int i) const { return m_panels.at(size_t(i)); }
    // The panel's area in the bar: its Width, except for the last panel, which takes the rest.
    QRect panelRect(int i) const;

    void setPanelWidth(int i, int width);
    void setPanelAlignment(int i, Qt::Alignment alignment);
    void setPanelText(int i, const QString& text);
    QString panelText(int i) const { return panel(i).Text; }
    // Makes c a child of the bar with the bar's height less 4 (its width stays) and places it.
    // A control already hosted by another panel leaves that panel. nullptr empties the panel.
    void setPanelControl(int i, QWidget* c);
    void setPanelMargins(int i, int left, int top);

    // Moves every hosted control to its panel: left at the panel's left edge + MarginLeft, top at
    // MarginTop, size unchanged.
    void PlaceControls();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    TStatusPanel& panelAt(int i) { return m_panels.at(size_t(i)); }

    std::vector<TStatusPanel> m_panels;
};
