#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace kinetra::sim {

class DriveModel;

// Serves a drive model on a pseudo-terminal: what the tool writes to the device end is fed to the
// model as it arrives, and the model's answers are written out when their time comes (a timer
// per due character, so an idle line costs no CPU; a timerfd, because whole milliseconds would
// add up to a millisecond to every answer at 1.04 ms a character). The program keeps the device end open
// itself, so the line stays up while no tool has it open.
class PtyLine : public QObject {
    Q_OBJECT
public:
    explicit PtyLine(DriveModel& model, QObject* parent = nullptr);
    ~PtyLine() override;

    bool open(QString* error);
    QString devicePath() const { return path_; }
    // Seconds since the line was opened: the model's time.
    double now() const { return clock_.nsecsElapsed() / 1e9; }

signals:
    // The model hung up the line; the pseudo-terminal is closed.
    void hungUp();

private:
    void onReadable();
    void deliver();
    void schedule();
    void shut();
    void startTimer(double seconds);
    void stopTimer();

    DriveModel& model_;
    QElapsedTimer clock_;
    int timerFd_ = -1;
    QSocketNotifier* timerNotifier_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    int master_ = -1;
    int slave_ = -1;
    QString path_;
};

} // namespace kinetra::sim
