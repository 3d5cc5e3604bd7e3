#pragma once

#include "catalog/RadioStation.h"

#include <QList>
#include <QString>
#include <QStringView>

// The search over station names. Both the typed text and each name become a
// search key: lower case by the full Unicode mapping (whatever the locale),
// every U+0020 space removed, composed (NFC) so that a precomposed letter and
// its base letter plus combining mark compare equal. A station is kept when
// its key contains the query key. The name keys are made once per list, so a
// keystroke costs one key and a scan, without allocating per station.
class StationFilter {
public:
    StationFilter() = default;
    explicit StationFilter(const QList<RadioStation>& stations);

    qsizetype size() const { return m_keys.size(); }

    // Fills `rows` with the indices of the stations kept for `searchText`, in
    // list order: all of them for an empty text, none for a query that is
    // empty once its spaces are gone.
    void apply(const QString& searchText, QList<int>& rows) const;

    static QString searchKey(QStringView text);
    // Whether `key` holds `query` as a run of whole characters: a match that
    // would end inside a letter with a combining mark does not count. False
    // for an empty query.
    static bool contains(QStringView key, QStringView query);
    // Whether a station named `name` is kept for `searchText`.
    static bool matches(const QString& searchText, const QString& name);

private:
    QList<QString> m_keys;
};
