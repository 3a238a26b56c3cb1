#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <optional>

// The program's icon in the notification area. A left click is reported through OnClick; a
// right click is reported too and then opens PopupMenu at the cursor; a double click counts as
// one click and runs nothing else.
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
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }
    QMenu* PopupMenu() const { return m_popupMenu; }

    // The icon is in the notification area.
    bool IconShown() const { return m_iconShown; }
    const QIcon& CurrentIcon() const { return m_currentIcon; }
    QString toolTip() const;

    // Whether the desktop has a notification area at all. Tests may decide it.
    static bool available();
    static void setAvailabilityForTesting(std::optional<bool> available);

    // What the notification area reported; public so tests can stand in for it.
    void handleActivation(QSystemTrayIcon::ActivationReason reason, QPoint cursor);

signals:
    void OnClick(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint cursor);

private:
    void chooseIcon();
    void AddIcon();
    void DeleteIcon();
    void openMenu(QPoint at);

    QSystemTrayIcon* m_icon = nullptr;
    QPointer<QMenu> m_popupMenu;
    QIcon m_iconProperty;
    QIcon m_currentIcon;
    QString m_hint;
    bool m_active = false;
    bool m_iconShown = false;
};
