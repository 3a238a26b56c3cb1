#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace platform {

// One running copy of the program per key (the settings file it lives by): the first start holds a
// lock in the user's runtime folder and listens on a local socket there; a later start hands its
// arguments over that socket and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Role {
        First,       // this process runs the program and listens for later starts
        HandedOver,  // a running copy took the arguments: this process ends
        Unreachable, // a running copy holds the lock but did not answer in time
    };
    // Becomes the first copy, or hands args to the copy that is. Waits at most timeoutMs for a
    // copy that is still starting up.
    Role start(const QStringList& args, int timeoutMs = 5000);

    const QString& serverName() const { return m_serverName; }

    // The message a later start sends, and the arguments read back from its body.
    static QByteArray encodeArguments(const QStringList& args);
    static QStringList decodeArguments(const QByteArray& body);

signals:
    // A later start handed over its arguments (its program name first).
    void started(const QStringList& args);

private:
    bool listen();
    void receive(QLocalSocket& socket);
    bool handOver(const QStringList& args, int timeoutMs);

    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace platform
