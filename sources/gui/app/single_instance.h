// One running Lumora per user: the first start holds a lock file in the user's
// runtime folder and listens on a local socket; a later start hands its file
// arguments to it and ends.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <memory>

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit TSingleInstance(QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this is the first instance (it then listens); false when
    // another one runs and has received `files`.
    bool Claim(const QStringList& files);

signals:
    // Another start handed over its arguments (absolute paths).
    void FilesReceived(const QStringList& files);

private:
    std::unique_ptr<QLockFile> Lock;
    QLocalServer Server;
    QString ServerName;

    bool HandOver(const QStringList& files) const;
    void ReadConnection();
};

// The runtime folder this instance uses ($XDG_RUNTIME_DIR, else the temporary folder).
QString InstanceFolder();
