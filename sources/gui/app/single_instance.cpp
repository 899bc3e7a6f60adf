#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

constexpr int HandOverTimeoutMs = 3000;

}  // namespace

QString InstanceFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime;
    return QDir::tempPath();
}

TSingleInstance::TSingleInstance(QObject* parent) : QObject(parent) {
    const QString folder = InstanceFolder();
    ServerName = QDir(folder).filePath(QStringLiteral("lumora-%1.socket").arg(getuid()));
    Lock = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("lumora-%1.lock").arg(getuid())));
    connect(&Server, &QLocalServer::newConnection, this, &TSingleInstance::ReadConnection);
}

TSingleInstance::~TSingleInstance() {
    Server.close();
    if (Lock) Lock->unlock();
}

bool TSingleInstance::Claim(const QStringList& files) {
    // A lock left by a process that died is taken over by QLockFile itself.
    if (!Lock->tryLock(0)) {
        if (HandOver(files)) return false;
        // The holder does not answer: it may be starting; one more try.
        if (!Lock->tryLock(HandOverTimeoutMs)) return !HandOver(files);
    }
    QLocalServer::removeServer(ServerName);
    Server.setSocketOptions(QLocalServer::UserAccessOption);
    Server.listen(ServerName);
    return true;
}

bool TSingleInstance::HandOver(const QStringList& files) const {
    QLocalSocket socket;
    socket.connectToServer(ServerName);
    if (!socket.waitForConnected(HandOverTimeoutMs)) return false;
    // One path per line, then an empty line to end the message.
    QByteArray message;
    for (const QString& file : files) message += file.toUtf8() + '\n';
    message += '\n';
    socket.write(message);
    if (!socket.waitForBytesWritten(HandOverTimeoutMs)) return false;
    socket.waitForReadyRead(HandOverTimeoutMs);  // the first answers once it has read everything
    socket.disconnectFromServer();
    return true;
}

void TSingleInstance::ReadConnection() {
    while (QLocalSocket* socket = Server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (!buffer->endsWith("\n\n") && *buffer != "\n") return;
            QStringList files;
            for (const QByteArray& line : buffer->split('\n'))
                if (!line.isEmpty()) files << QString::fromUtf8(line);
            socket->write("ok\n");
            socket->flush();
            emit FilesReceived(files);
        });
    }
}
