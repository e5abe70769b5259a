// The clock's waits hold the user's input while a transaction owes an answer: clicks, keys and
// an accessibility "press" reach the window once the hold is over, and a held wait with input
// pending does not spin.
#include "qt_clock.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QtGui/qpa/qwindowsysteminterface.h>

#include <ctime>
#include <optional>

using namespace kinetra;

namespace {

enum class Input { Click, Key, AccessibilityPress };

using Delivery = QWindowSystemInterface::AsynchronousDelivery;

void queueClick(QWidget* widget)
{
    QWidget* top = widget->window();
    const QPointF local = widget->mapTo(top, widget->rect().center());
    const QPointF global = widget->mapToGlobal(widget->rect().center());
    QWindowSystemInterface::handleMouseEvent<Delivery>(top->windowHandle(), local, global, Qt::LeftButton,
                                                       Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Delivery>(top->windowHandle(), local, global, Qt::NoButton,
                                                       Qt::LeftButton, QEvent::MouseButtonRelease);
}

void queueReturn(QWidget* widget)
{
    QWindow* window = widget->window()->windowHandle();
    QWindowSystemInterface::handleKeyEvent<Delivery>(window, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QWindowSystemInterface::handleKeyEvent<Delivery>(window, QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
}

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
            case Input::Key: queueReturn(box); break;
            case Input::AccessibilityPress: button->animateClick(); break;
            }
            const std::clock_t before = std::clock();
            clock.waitServing(0.3);
            const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
            QCOMPARE(taken, held ? 0 : 1);
            // Input that waits for the hold does not keep the wait busy.
            QVERIFY2(cpu < 0.1, qPrintable(QStringLiteral("%1 s of processor time").arg(cpu)));
        }
        clock.waitServing(0.3, [&] { return taken > 0; });
        QCOMPARE(taken, 1);
    }
};

QTEST_MAIN(TestHeldInput)
#include "test_held_input.moc"
