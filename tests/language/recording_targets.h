#pragma once

#include "language_targets.h"

#include <QMap>
#include <QPair>
#include <QStringList>

namespace kinetra::test {

// Remembers the last text each element got, the items of every list and the order of calls.
class RecordingTargets : public LanguageTargets {
public:
    using Key = QPair<QString, int>;
    static Key key(const Element& e) { return {e.name, e.index}; }

    void setCaption(const Element& e, const QString& text) override {
        captions[key(e)] = text;
        log << QStringLiteral("caption %1 %2").arg(e.name).arg(e.index);
    }
    void setHint(const Element& e, const QString& text) override { hints[key(e)] = text; }
    void clearItems(const Element& e) override {
        items[key(e)].clear();
        log << QStringLiteral("clear %1").arg(e.index);
    }
    void addItem(const Element& e, const QString& text) override {
        items[key(e)] << text;
        log << QStringLiteral("add %1").arg(e.index);
    }
    void setTag(const Element& e, const QString& text) override {
        tags[key(e)] = text;
        log << QStringLiteral("tag %1").arg(e.index);
    }
    void setTabCaption(int tab, const QString& text) override { tabs[tab] = text; }

    QString caption(const char* name, int index) const {
        return captions.value({QString::fromLatin1(name), index});
    }
    QString hint(const char* name, int index) const {
        return hints.value({QString::fromLatin1(name), index});
    }
    QStringList list(int index) const { return items.value({QStringLiteral("cmbPara"), index}); }
    QString tag(int index) const { return tags.value({QStringLiteral("cmbPara"), index}); }

    QMap<Key, QString> captions;
    QMap<Key, QString> hints;
    QMap<Key, QStringList> items;
    QMap<Key, QString> tags;
    QMap<int, QString> tabs;
    QStringList log;
};

} // namespace kinetra::test
