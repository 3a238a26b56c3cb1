#include "platform/singleinstance.h"

#include "platform/paths.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QtEndian>

namespace platform {

namespace {

// The arguments go as one message: its length (4 bytes, big-endian), then each argument in UTF-8
// followed by a zero byte. The running copy answers with one byte.
constexpr char kTaken = '1';
constexpr qint64 kMaxMessage = 1 << 20;

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent),
      m_serverName(paths::runtimeFile(QStringLiteral("sorabi-"), key, QStringLiteral(".socket"))) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start(const QStringList& args, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    auto lock = std::make_unique<QLockFile>(m_serverName + QStringLiteral(".lock"));
    for (;;) {
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            // Without a socket later starts cannot reach this one, but it still runs alone.
            listen();
            return Role::First;
        }
        if (lock->error() != QLockFile::LockFailedError) {
            // No runtime folder to lock in: run unguarded rather than not at all.
            return Role::First;
        }
        if (handOver(args, int(qMax<qint64>(0, deadline.remainingTime()))))
            return Role::HandedOver;
        if (deadline.hasExpired())
            return Role::Unreachable;
        QThread::msleep(50);
    }
}

bool SingleInstance::listen() {
    // A socket left by a copy that was killed: the lock says nobody listens on it.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(*socket); });
        }
    });
    return true;
}

void SingleInstance::receive(QLocalSocket& socket) {
    if (socket.bytesAvailable() < 4)
        return;
    const QByteArray head = socket.peek(4);
    const quint32 size = qFromBigEndian<quint32>(head.constData());
    if (size > kMaxMessage) {
        socket.abort();
        return;
    }
    if (socket.bytesAvailable() < 4 + qint64(size))
        return; // the rest is still on its way
    socket.skip(4);
    const QByteArray body = socket.read(size);
    socket.write(&kTaken, 1);
    socket.flush();
    emit started(decodeArguments(body));
}

QByteArray SingleInstance::encodeArguments(const QStringList& args) {
    QByteArray body;
    for (const QString& a : args) {
        body += a.toUtf8();
        body += '\0';
    }
    QByteArray message(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(body.size()), message.data());
    return message + body;
}

QStringList SingleInstance::decodeArguments(const QByteArray& body) {
    QStringList args;
    qsizetype start = 0;
    while (start < body.size()) {
        qsizetype end = body.indexOf('\0', start);
        if (end < 0)
            end = body.size();
        args << QString::fromUtf8(body.constData() + start, end - start);
        start = end + 1;
    }
    return args;
}

bool SingleInstance::handOver(const QStringList& args, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(qMin(timeoutMs, 1000)))
        return false;
    socket.write(encodeArguments(args));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    char answer = 0;
    if (!socket.waitForReadyRead(timeoutMs) || socket.read(&answer, 1) != 1)
        return false;
    return answer == kTaken;
}

} // namespace platform
