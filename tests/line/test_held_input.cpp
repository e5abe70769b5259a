// The clock's waits hold the user's input while a transaction owes an answer: clicks, keys and
// an accessibility "press" reach the window once the hold is over, a held wait with input
// pending does not spin, and a long hold lapses. (That input gets through back-to-back polls is
// shown by the window's session on the line.)
#include "qt_clock.h"
#include "window_system_input.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <ctime>
#include <optional>

using namespace kinetra;
using namespace kinetra::test;

namespace {
enum class Input { Click, Key, AccessibilityPress };
} // namespace

Q_DECLARE_METATYPE(Input)

class TestHeldInput : public QObject {
    Q_OBJECT
private slots:
    void inputWaitsForTheEndOfTheHold_data()
    {
        QTest::addColumn<Input>("input");
        QTest::addColumn<bool>("held");
        QTest::newRow("a click, held") << Input::Click << true;
        QTest::newRow("a click, no hold") << Input::Click << false;
        QTest::newRow("a key, held") << Input::Key << true;
        QTest::newRow("an accessibility press, held") << Input::AccessibilityPress << true;
    }
    void inputWaitsForTheEndOfTheHold()
    {
        QFETCH(Input, input);
        QFETCH(bool, held);
        QtClock clock;
        QWidget window;
        auto* button = new QPushButton(QStringLiteral("Go"));
        auto* box = new QLineEdit;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(box);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        box->setFocus();
        int taken = 0;
        connect(button, &QPushButton::clicked, [&] { ++taken; });
        connect(box, &QLineEdit::returnPressed, [&] { ++taken; });
        {
            std::optional<UserInputHold> hold;
            if (held)
                hold.emplace(clock);
            switch (input) {
            case Input::Click: queueClick(button); break;
            case Input::Key: queueKey(box, Qt::Key_Return, QStringLiteral("\r")); break;
            case Input::AccessibilityPress: button->animateClick(); break;
            }
            const std::clock_t before = std::clock();
            clock.waitServing(0.2);
            const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
            QCOMPARE(taken, held ? 0 : 1);
            // Input that waits for the hold does not keep the wait busy.
            QVERIFY2(cpu < 0.07, qPrintable(QStringLiteral("%1 s of processor time").arg(cpu)));
        }
        clock.waitServing(0.3, [&] { return taken > 0; });
        QCOMPARE(taken, 1);
    }

    // A transaction that waits for a silent drive lets its hold lapse: closing the window (and
    // any other input) is served from then on, not after all its retries.
    void aLongTransactionLetsItsHoldLapse()
    {
        QtClock clock;
        // As the main window does: closing ends the program.
        struct EndsOnClose : QWidget {
            QtClock& clock;
            explicit EndsOnClose(QtClock& c) : clock(c) {}
            void closeEvent(QCloseEvent* event) override
            {
                clock.setQuitting();
                QWidget::closeEvent(event);
            }
        } window(clock);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const UserInputHold hold(clock);
        const double start = clock.now();
        QWindowSystemInterface::handleCloseEvent<QueuedDelivery>(window.windowHandle());
        clock.waitServing(0.2);
        QVERIFY(!clock.quitting());
        clock.waitServing(3.0);
        QVERIFY(clock.quitting());
        QVERIFY2(clock.now() - start < 1.0, qPrintable(QString::number(clock.now() - start)));
    }
};

QTEST_MAIN(TestHeldInput)
#include "test_held_input.moc"
