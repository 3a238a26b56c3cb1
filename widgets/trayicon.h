#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <optional>

// The program's icon in the notification area. A left click is reported through OnClick; a
// right click is reported too and opens PopupMenu, which the icon carries as its context menu so
// that notification areas that draw the menu themselves show it; a double click counts as one
// click and runs nothing else. While active, the icon follows the notification area: it goes up
// again when one appears and IconShownChanged tells when it comes or goes.
class TTrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TTrayIcon(QObject* parent = nullptr);
    ~TTrayIcon() override;

    bool Active() const { return m_active; }
    // True shows the icon, false removes it at once.
    void setActive(bool active);

    // An empty icon shows the application's icon.
    void setIcon(const QIcon& icon);
    // The tooltip is the part of the hint before its first "|".
    void setHint(const QString& hint);
    void setPopupMenu(QMenu* menu);
    QMenu* PopupMenu() const { return m_popupMenu; }
    // The menu the notification area opens on a right click.
    QMenu* contextMenu() const { return m_icon->contextMenu(); }

    // The icon is in the notification area.
    bool IconShown() const { return m_iconShown; }
    // Looks for the notification area now: the icon goes up when one has appeared, and counts as
    // gone when it has gone. Returns IconShown(). Runs every second while active.
    bool refresh();
    const QIcon& CurrentIcon() const { return m_currentIcon; }
    QString toolTip() const;

    // Whether the desktop has a notification area at all. Tests may decide it.
    static bool available();
    static void setAvailabilityForTesting(std::optional<bool> available);

    // What the notification area reported; public so tests can stand in for it.
    void handleActivation(QSystemTrayIcon::ActivationReason reason, QPoint cursor);

signals:
    void OnClick(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint cursor);
    void IconShownChanged(bool shown);

private:
    void chooseIcon();
    void AddIcon();
    void DeleteIcon();
    void setIconShown(bool shown);

    QSystemTrayIcon* m_icon = nullptr;
    QTimer* m_watch = nullptr;
    QPointer<QMenu> m_popupMenu;
    QIcon m_iconProperty;
    QIcon m_currentIcon;
    QString m_hint;
    bool m_active = false;
    bool m_iconShown = false;
};
