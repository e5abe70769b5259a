#include "about_window.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kinetra {

namespace {

struct Contact {
    const char* company;
    const char* street;
    const char* town;
    const char* telephone;
    const char* web;
    const char* mail;
};

// Fictitious addresses: the tool ships with its distributor's and its maker's own.
constexpr Contact kMaker{"Kinetra Antriebstechnik GmbH", "Werkstraße 12",       "D-70000 Musterstadt",
                         "Tel. +49 (0)711 555 0100",     "www.kinetra.example", "service@kinetra.example"};
constexpr Contact kDistributor{"Orven Motion Systems GmbH", "Am Industriepark 7",       "D-30000 Beispielburg",
                               "Tel. +49 (0)511 555 0420",  "www.orven-motion.example", "support@orven-motion.example"};

QLabel* addLabel(QLayout* layout, const QString& name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(name);
    layout->addWidget(label);
    return label;
}

} // namespace

AboutWindow::AboutWindow(Variant variant, QWidget* parent) : QDialog(parent), variant_(variant)
{
    const bool distributor = variant == Variant::Distributor;
    setObjectName(distributor ? QStringLiteral("frmSplashOrven") : QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Kinetra"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* outer = new QVBoxLayout(this);
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setLineWidth(2);
    outer->addWidget(frame);

    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(24, 18, 24, 18);
    column->setSpacing(4);

    QLabel* product = addLabel(column, QStringLiteral("lblProductName"), QStringLiteral("Kinetra"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    product->setFont(big);
    addLabel(column, QStringLiteral("lblVersion"),
             distributor ? QStringLiteral("version 2-0") : QStringLiteral("version 1-9"));
    addLabel(column, QStringLiteral("lblDate"),
             distributor ? QStringLiteral("7.10.2005") : QStringLiteral("20.08.2005"));
    column->addSpacing(12);

    if (!distributor) {
        auto* customer = new QGridLayout;
        auto* kunde = new QLabel(QStringLiteral("Kunde:"));
        kunde->setObjectName(QStringLiteral("lblKunde"));
        customer->addWidget(kunde, 0, 0, Qt::AlignTop);
        for (int i = 0; i < 2; ++i) {
            auto* line = new QLabel;
            line->setObjectName(QStringLiteral("lblCustomer_%1").arg(i));
            customer->addWidget(line, i, 1);
        }
        customer->setColumnStretch(1, 1);
        column->addLayout(customer);
        column->addSpacing(12);
    }

    const Contact& c = distributor ? kDistributor : kMaker;
    QLabel* company = addLabel(column, QStringLiteral("lblCompany"), QString::fromUtf8(c.company));
    QFont bold = company->font();
    bold.setBold(true);
    company->setFont(bold);
    const char* lines[] = {c.street, c.town, c.telephone, c.web, c.mail};
    for (int i = 0; i < 5; ++i)
        addLabel(column, QStringLiteral("lblContact_%1").arg(i), QString::fromUtf8(lines[i]));
    column->addSpacing(16);

    auto* exit = new QPushButton(QStringLiteral("exit"));
    exit->setObjectName(QStringLiteral("cmdExit"));
    exit->setDefault(true);
    connect(exit, &QPushButton::clicked, this, &QWidget::hide);
    column->addWidget(exit, 0, Qt::AlignRight);

    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

void AboutWindow::mousePressEvent(QMouseEvent* event)
{
    hide();
    event->accept();
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    hide();
    event->accept();
}

} // namespace kinetra
