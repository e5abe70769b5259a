#pragma once

#include "window_elements.h"

#include <QHash>
#include <QSet>
#include <QStringList>

namespace kinetra::test {

// A window that is all elements: it keeps what was set, so tests can read it back, and logs
// every operation in order. Elements named in `missing` do not exist (every operation on them
// is a no-op, as on the real window).
class RecordingWindow : public WindowElements {
public:
    static QString key(const Element& e) { return e.name + QLatin1Char('#') + QString::number(e.index); }

    QString text(const Element& e) const override { return texts.value(key(e)); }
    void setText(const Element& e, const QString& t) override
    {
        if (exists(e)) {
            texts[key(e)] = t;
            log << QStringLiteral("text %1 = %2").arg(key(e), t);
        }
    }
    int selection(const Element& e) const override { return selections.value(key(e), -1); }
    void setSelection(const Element& e, int position) override
    {
        if (exists(e) && position >= 0 && position < listSize.value(key(e), 100)) {
            selections[key(e)] = position;
            log << QStringLiteral("select %1 = %2").arg(key(e)).arg(position);
        }
    }
    void setVisible(const Element& e, bool on) override
    {
        if (exists(e))
            visible[key(e)] = on;
    }
    void setEnabled(const Element& e, bool on) override
    {
        if (exists(e))
            enabled[key(e)] = on;
    }
    void setValue(const Element& e, int v) override
    {
        if (exists(e)) {
            values[key(e)] = v;
            log << QStringLiteral("value %1 = %2").arg(key(e)).arg(v);
        }
    }
    void setMaximum(const Element& e, int v) override
    {
        if (exists(e))
            maximum[key(e)] = v;
    }
    void setStatusText(int panel, const QString& t) override
    {
        statusText[panel] = t;
        log << QStringLiteral("panel %1 = %2").arg(panel).arg(t);
    }
    void setStatusBevel(int panel, Bevel b) override { statusBevel[panel] = b; }
    int currentTab() const override { return tab; }
    void setHeight(const Element& e, int twips) override
    {
        if (exists(e)) {
            heights[key(e)] = twips;
            log << QStringLiteral("height %1 = %2").arg(key(e)).arg(twips);
        }
    }
    void setTop(const Element& e, int twips) override
    {
        if (exists(e)) {
            tops[key(e)] = twips;
            log << QStringLiteral("top %1 = %2").arg(key(e)).arg(twips);
        }
    }

    bool exists(const Element& e) const { return !missing.contains(key(e)); }

    QHash<QString, QString> texts;
    QHash<QString, int> selections;
    QHash<QString, int> listSize;
    QHash<QString, bool> visible;
    QHash<QString, bool> enabled;
    QHash<QString, int> values;
    QHash<QString, int> maximum;
    QHash<QString, int> heights;
    QHash<QString, int> tops;
    QHash<int, QString> statusText;
    QHash<int, Bevel> statusBevel;
    QSet<QString> missing;
    QStringList log;
    int tab = 0;
};

} // namespace kinetra::test
