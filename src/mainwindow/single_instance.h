#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace kinetra {

// One running program per user: the first start listens on a local socket; a later start finds
// it there, asks it to come to the front and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket name of the running user's program.
    static QString defaultName();

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only instance (it now listens for later starts); false when another
    // instance answered and has been asked to come to the front. A socket left behind by a
    // crashed run does not count as a running instance.
    bool claim();

signals:
    // A later start asked this instance to bring its window to the front.
    void activationRequested();

private:
    bool askRunningInstance();
    void onNewConnection();

    QString name_;
    QLocalServer* server_ = nullptr;
};

} // namespace kinetra
