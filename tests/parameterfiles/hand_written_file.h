#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>

// Parameter files built line by line the way a person writes one, independent of the writer,
// and the file helpers the tests share.
namespace handwritten {

inline QList<int> range(int from, int to, QList<int> out = {})
{
    for (int p = from; p <= to; ++p)
        out << p;
    return out;
}
// Axis parameters of a file written below level 540, and from 540 on; the device parameters.
inline const QList<int> shortAxis = range(0, 52) << 55 << 80;
inline const QList<int> longAxis = range(55, 80, range(0, 52));
inline const QList<int> device = range(25, 48, range(10, 19, range(0, 3)));

// A whole file; a value missing from the maps is an empty field. Values are given as they
// stand in the file ("\"100\"" quoted, "100" bare).
inline QByteArray file(const QList<int>& axis, const QMap<int, QByteArray>& axisValues = {},
                       const QMap<int, QByteArray>& deviceValues = {})
{
    QByteArray out = "\"Parameter KINETRA\"\r\n\"----------------\"\r\n\"Achse X\"\r\n\"----------------\"\r\n";
    for (const int p : axis)
        out += "\"P" + QByteArray::number(p) + "\"," + axisValues.value(p) + "\r\n";
    out += "\"----------------\"\r\n\"Ger\xE4te Daten\"\r\n\"----------------\"\r\n";
    for (const int p : device)
        out += "\"P" + QByteArray::number(p) + "\"," + deviceValues.value(p) + "\r\n";
    return out;
}

inline QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
inline bool put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace handwritten
