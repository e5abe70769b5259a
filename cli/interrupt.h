#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace kinetra::cli {

// Ctrl+C (SIGINT) and SIGTERM as an event: the signal handler only writes a byte to a pipe and
// the event loop, which every wait of the link runs, reads it. So an interrupted load ends
// between two writes instead of in the middle of a frame.
class Interrupt : public QObject {
    Q_OBJECT
public:
    explicit Interrupt(QObject* parent = nullptr);
    ~Interrupt() override;

    void setHandler(std::function<void(int count)> handler) { handler_ = std::move(handler); }
    bool happened() const { return count_ > 0; }

private:
    void onReadable();

    QSocketNotifier* notifier_ = nullptr;
    std::function<void(int)> handler_;
    int count_ = 0;
};

// The exit code of a command that Ctrl+C ended (128 + SIGINT, as shells report it).
inline constexpr int kInterruptedExitCode = 130;

} // namespace kinetra::cli
