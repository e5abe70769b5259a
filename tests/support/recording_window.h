#pragma once

#include "window_elements.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariant>

namespace kinetra::test {

// A window that is all elements: it keeps what was set, so tests can read it back, and logs
// texts, selections, values, heights, tops and panels in order. Elements named in `missing` do
// not exist (every operation on them is a no-op, as on the real window).
class RecordingWindow : public WindowElements {
public:
    static QString key(const Element& e) { return e.name + QLatin1Char('#') + QString::number(e.index); }

    QString text(const Element& e) const override { return texts.value(key(e)); }
    void setText(const Element& e, const QString& t) override { keep(texts, e, t, "text"); }
    int selection(const Element& e) const override { return selections.value(key(e), -1); }
    void setSelection(const Element& e, int position) override
    {
        if (position >= 0 && position < listSize.value(key(e), 100))
            keep(selections, e, position, "select");
    }
    void setVisible(const Element& e, bool on) override { keep(visible, e, on); }
    void setEnabled(const Element& e, bool on) override { keep(enabled, e, on); }
    void setValue(const Element& e, int v) override { keep(values, e, v, "value"); }
    void setMaximum(const Element& e, int v) override { keep(maximum, e, v); }
    void setStatusText(int panel, const QString& t) override
    {
        statusText[panel] = t;
        log << QStringLiteral("panel %1 = %2").arg(panel).arg(t);
    }
    void setStatusBevel(int panel, Bevel b) override { statusBevel[panel] = b; }
    int currentTab() const override { return tab; }
    void setHeight(const Element& e, int twips) override { keep(heights, e, twips, "height"); }
    void setTop(const Element& e, int twips) override { keep(tops, e, twips, "top"); }

    bool exists(const Element& e) const { return !missing.contains(key(e)); }

    QHash<QString, QString> texts;
    QHash<QString, int> selections, listSize, values, maximum, heights, tops; // listSize: 100 if not set
    QHash<QString, bool> visible, enabled;
    QHash<int, QString> statusText;
    QHash<int, Bevel> statusBevel;
    QSet<QString> missing;
    QStringList log;
    int tab = 0;

private:
    template <typename T>
    void keep(QHash<QString, T>& where, const Element& e, const T& v, const char* logged = nullptr)
    {
        if (!exists(e))
            return;
        where[key(e)] = v;
        if (logged)
            log << QStringLiteral("%1 %2 = %3").arg(QLatin1String(logged), key(e), QVariant(v).toString());
    }
};

} // namespace kinetra::test
