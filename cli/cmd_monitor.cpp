// kinetra-cli monitor: the live polling plan, one row per status block.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "machine_numbers.h"
#include "parameter_catalogue.h"
#include "numeric_text.h"
#include "status_word.h"

#include <QJsonObject>

#include <limits>

namespace kinetra::cli {

namespace {

// From this level on the drive answers the status block; older drives are polled 2100, 2180,
// 2182 in turn, without peak current and PWM.
constexpr qint16 kStatusBlockLevel = 500;

struct Row {
    QString position;
    QString status;
    QString current;
    QString peak;
    QString pwm;
};

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace

ExitCode runMonitor(DriveSession& session)
{
    const Options& o = session.options;
    if (!session.findDrive())
        return ExitCode::NoDrive;
    if (!session.readLevel())
        return session.failureCode();
    const qint16 level = session.state.firmwareLevel;
    const int decPnt = session.state.decPnt;
    const int positionCmd = level >= kStatusBlockLevel ? 2170 : 2100;
    // The value that closes a row: the last of the status block, or of the short plan.
    const int lastOfRow = level >= kStatusBlockLevel ? 2170 : 2182;

    if (o.csv)
        session.console.data(QStringLiteral("time,position,status,status_text,current,peak,pwm"));
    else if (!o.json)
        session.console.data(QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
                                 .arg(QStringLiteral("time"), 9)
                                 .arg(QStringLiteral("position"), 12)
                                 .arg(QStringLiteral("status"), 10)
                                 .arg(QStringLiteral("current"), 8)
                                 .arg(QStringLiteral("peak"), 8)
                                 .arg(QStringLiteral("pwm"), 5)
                                 .arg(QStringLiteral("status text")));

    const double start = session.clock.now();
    const int wanted = o.count.value_or(std::numeric_limits<int>::max());
    int rows = 0;
    Row row;
    const auto shown = [decPnt](const QString& raw, int cmd) { return formatValue(raw, cmd, decPnt).value_or(raw); };

    session.setValueObserver([&](int cmd, const QString& raw) {
        if (rows >= wanted)
            return;
        if (cmd == positionCmd)
            row.position = raw;
        else if (cmd == 2180)
            row.status = raw.trimmed();
        else if (cmd == 2182)
            row.current = raw;
        else if (cmd == 2184)
            row.peak = raw;
        else if (cmd == 2183)
            row.pwm = raw;
        if (cmd != lastOfRow)
            return;

        const double t = session.clock.now() - start;
        const quint32 word = static_cast<quint32>(row.status.toLongLong());
        const auto message = statusBoxMessage(word, level);
        const QString text = message ? session.state.message(*message) : QString();
        const QString position = shown(row.position.trimmed(), positionCmd);
        const QString current = shown(row.current, 2182);
        const QString peak = shown(row.peak, 2184);
        const QString time = QString::number(t, 'f', 3);
        if (o.json) {
            printJson(session, QJsonObject{{QStringLiteral("time"), time.toDouble()},
                                           {QStringLiteral("position"), jsonNumber(position)},
                                           {QStringLiteral("positionRaw"), jsonNumber(row.position)},
                                           {QStringLiteral("decimals"), displayDecimals(positionCmd, decPnt)},
                                           {QStringLiteral("status"), row.status.toLongLong()},
                                           {QStringLiteral("statusText"), text},
                                           {QStringLiteral("current"), jsonNumber(current)},
                                           {QStringLiteral("peak"), jsonNumber(peak)},
                                           {QStringLiteral("pwm"), jsonNumber(row.pwm)}});
        } else if (o.csv) {
            session.console.data(QStringList{time, withDecimalPoint(position), row.status, csvField(text),
                                             withDecimalPoint(current), withDecimalPoint(peak), row.pwm}
                                     .join(QLatin1Char(',')));
        } else {
            session.console.data(QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
                                     .arg(time, 9)
                                     .arg(position, 12)
                                     .arg(row.status, 10)
                                     .arg(current, 8)
                                     .arg(peak, 8)
                                     .arg(row.pwm, 5)
                                     .arg(text));
        }
        row = Row();
        if (++rows >= wanted)
            session.clock.wake();
    });
    session.link.setOnLinkLost([&session] { session.clock.wake(); });

    // The receive timer runs the plan; this wait serves it until enough rows or the link is lost.
    session.com->timerReceive().setEnabled(true);
    const auto done = [&] { return rows >= wanted || session.state.comOnline == 0 || session.clock.quitting(); };
    while (!done())
        session.clock.waitServing(24 * 3600.0, done);
    session.com->timerReceive().setEnabled(false);
    session.setValueObserver({});
    session.link.setOnLinkLost({});
    return session.linkLost() ? ExitCode::LinkLost : ExitCode::Success;
}

} // namespace kinetra::cli
