#include "picture_icons.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace kinetra {

namespace {

// 24 x 24 drawings; the frame of each is added by svg().
const QHash<QString, const char*>& drawings()
{
    static const QHash<QString, const char*> d{
        // the program's own emblem (also installed as its desktop icon)
        {"kinetra", R"(<rect x="1" y="1" width="22" height="22" rx="4.5" fill="#1d4f91"/>
            <circle cx="12" cy="12" r="6.4" fill="none" stroke="#fff" stroke-width="1.9"/>
            <path d="M12 3.4v3.8M12 16.8v3.8M3.4 12h3.8M16.8 12h3.8" stroke="#fff" stroke-width="1.9"
            stroke-linecap="round"/><path d="M9.7 9l4.9 3-4.9 3z" fill="#7fd37f"/>)"},
        // plug and socket
        {"connect", R"(<path d="M4 12h5M15 12h5" stroke="#1d4f91" stroke-width="2.4"/>
            <rect x="8" y="7" width="5" height="10" rx="1.5" fill="#2e7d32"/>
            <rect x="13" y="8.5" width="3" height="7" fill="#2e7d32"/>
            <path d="M16 10h3M16 14h3" stroke="#2e7d32" stroke-width="1.6"/>)"},
        // stop sign
        {"stop", R"(<path d="M8 2h8l6 6v8l-6 6H8l-6-6V8z" fill="#c62828"/>
            <rect x="6" y="10.5" width="12" height="3" fill="#fff"/>)"},
        // disk with a folder tab: store and load parameter sets
        {"data", R"(<path d="M3 3h15l3 3v15H3z" fill="#1d4f91"/>
            <rect x="6" y="3" width="10" height="6" fill="#e3ecf7"/>
            <rect x="13" y="4" width="2" height="4" fill="#1d4f91"/>
            <rect x="6" y="13" width="12" height="8" fill="#fff"/>
            <path d="M8 16h8M8 18.5h6" stroke="#7a8ba3" stroke-width="1"/>)"},
        // wrench
        {"tool",
         R"(<path d="M14.5 3a5 5 0 0 0-4.6 6.9L3.3 16.5a1.8 1.8 0 0 0 2.5 2.5l6.6-6.6A5 5 0 0 0 19.6 7.6
            l-3 3-2.6-.6-.6-2.6 3-3A5 5 0 0 0 14.5 3z" fill="#546e7a"/>)"},
        // letter i in a circle
        {"info", R"(<circle cx="12" cy="12" r="10" fill="#1d4f91"/>
            <circle cx="12" cy="7" r="1.6" fill="#fff"/><rect x="10.6" y="10" width="2.8" height="8" fill="#fff"/>)"},
        // the simple panel's button
        {"main",
         R"(<rect x="3" y="4" width="18" height="16" rx="2" fill="none" stroke="#546e7a" stroke-width="2"/>
            <path d="M6 9h12M6 13h12M6 17h8" stroke="#546e7a" stroke-width="1.6"/>)"},
        // start absolute: play towards a target mark
        {"cmd128",
         R"(<path d="M4 4l11 8-11 8z" fill="#2e7d32"/><rect x="17" y="4" width="3" height="16" fill="#2e7d32"/>)"},
        {"cmd129", R"(<rect x="5" y="5" width="14" height="14" rx="1.5" fill="#c62828"/>)"},
        // one step positive / negative
        {"cmd130",
         R"(<path d="M3 12h12" stroke="#1d4f91" stroke-width="3"/><path d="M13 6l7 6-7 6z" fill="#1d4f91"/>
            <rect x="3" y="6" width="2" height="12" fill="#1d4f91"/>)"},
        {"cmd131",
         R"(<path d="M9 12h12" stroke="#1d4f91" stroke-width="3"/><path d="M11 6l-7 6 7 6z" fill="#1d4f91"/>
            <rect x="19" y="6" width="2" height="12" fill="#1d4f91"/>)"},
        // jog positive / negative while held
        {"cmd132", R"(<path d="M3 5l8 7-8 7zM12 5l8 7-8 7z" fill="#ef6c00"/>)"},
        {"cmd133", R"(<path d="M21 5l-8 7 8 7zM12 5l-8 7 8 7z" fill="#ef6c00"/>)"},
        // reference run: house with an arrow
        {"cmd136",
         R"(<path d="M12 3l9 8h-3v9H6v-9H3z" fill="#6a1b9a"/><rect x="10" y="14" width="4" height="6" fill="#fff"/>)"},
        // set reference: cross hair
        {"cmd139", R"(<circle cx="12" cy="12" r="7" fill="none" stroke="#6a1b9a" stroke-width="2"/>
            <path d="M12 2v6M12 16v6M2 12h6M16 12h6" stroke="#6a1b9a" stroke-width="2"/>
            <circle cx="12" cy="12" r="2" fill="#6a1b9a"/>)"},
        // store parameters in the drive
        {"cmd138",
         R"(<path d="M3 3h15l3 3v15H3z" fill="#2e7d32"/><rect x="6" y="3" width="10" height="6" fill="#e8f5e9"/>
            <rect x="6" y="13" width="12" height="8" fill="#fff"/>)"},
        {"cmd153",
         R"(<path d="M3 3h15l3 3v15H3z" fill="#00695c"/><rect x="6" y="3" width="10" height="6" fill="#e0f2f1"/>
            <rect x="6" y="13" width="12" height="8" fill="#fff"/><path d="M12 14v5M9.5 16.5L12 19l2.5-2.5"
            stroke="#00695c" stroke-width="1.5" fill="none"/>)"},
        // frequency measurement
        {"cmd140", R"(<path d="M2 12c2-6 4-6 6 0s4 6 6 0 4-6 6 0" fill="none" stroke="#1d4f91" stroke-width="2.2"/>)"},
        // service resets: circular arrow
        {"reset", R"(<path d="M19 12a7 7 0 1 1-2.1-5" fill="none" stroke="#c62828" stroke-width="2.6"/>
            <path d="M20 3v6h-6z" fill="#c62828"/>)"},
    };
    return d;
}

QByteArray svg(const char* body)
{
    return QByteArrayLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" width="24" height="24">)") +
           QByteArray(body) + QByteArrayLiteral("</svg>");
}

QIcon iconFromSvg(const QByteArray& data)
{
    QSvgRenderer renderer(data);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon pictureIcon(const QString& name)
{
    QString key = name;
    if (key == QLatin1String("cmd161") || key == QLatin1String("cmd162") || key == QLatin1String("cmd163"))
        key = QStringLiteral("reset");
    const auto it = drawings().constFind(key);
    return it == drawings().constEnd() ? QIcon() : iconFromSvg(svg(it.value()));
}

QIcon markedIcon(const QIcon& base)
{
    static const QByteArray sign = svg(R"(<circle cx="12" cy="12" r="11" fill="#f9a825" stroke="#fff" stroke-width="2"/>
        <rect x="10.2" y="4.5" width="3.6" height="9.5" rx="1.2" fill="#212121"/>
        <circle cx="12" cy="18" r="2" fill="#212121"/>)");
    QSvgRenderer renderer(sign);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap = base.pixmap(size, size);
        if (pixmap.isNull()) {
            pixmap = QPixmap(size, size);
            pixmap.fill(Qt::transparent);
        }
        QPainter painter(&pixmap);
        // Half the picture's size, so that the sign still reads at 16 pixels.
        const int side = size / 2 + 1;
        renderer.render(&painter, QRectF(size - side, 0, side, side));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon lampIcon(bool lit)
{
    return iconFromSvg(
        svg(lit ? R"(<circle cx="12" cy="12" r="8" fill="#43a047" stroke="#1b5e20" stroke-width="1.5"/>
        <circle cx="9.5" cy="9.5" r="2.5" fill="#c8e6c9"/>)"
                : R"(<circle cx="12" cy="12" r="8" fill="#5d6b5e" stroke="#2f3630" stroke-width="1.5"/>)"));
}

} // namespace kinetra
