#pragma once

#include <QObject>

class QSocketNotifier;

namespace kinetra::sim {

// SIGINT and SIGTERM turned into a Qt signal: the handler only writes a byte to a pipe, and the
// event loop reads it, so the program ends through its normal path (and unregisters its port).
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    ~SignalPipe() override;
    bool isValid() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signal);

private:
    void onReadable();
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kinetra::sim
