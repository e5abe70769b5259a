#pragma once

#include <QByteArray>
#include <QString>

namespace kinetra::test {

// A pseudo-terminal: the tool opens the device end by path, the test plays the drive on the
// other end.
class PtyPair {
public:
    PtyPair();
    ~PtyPair() { hangUp(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return master_ >= 0; }
    QString devicePath() const { return path_; }
    void write(const QByteArray& bytes);
    // What the tool has written, waiting at most `timeoutMs` for the first byte.
    QByteArray read(int timeoutMs);
    // Closes the drive's end: the tool sees a hang-up.
    void hangUp();

private:
    int master_ = -1;
    QString path_;
};

} // namespace kinetra::test
