#pragma once

#include <QSet>
#include <QString>

namespace tavlin {

// Which source applications a query admits.
struct ClipSourceFilter {
    enum class Case { all, application, unknown, selection };

    Case kind = Case::all;
    // The one identifier of `application`.
    QString bundleID;
    // The identifiers of `selection`, and whether it also admits records of no known source.
    QSet<QString> bundleIDs;
    bool includesUnknown = false;

    static ClipSourceFilter all() { return {}; }
    static ClipSourceFilter application(QString id) { return {Case::application, std::move(id), {}, false}; }
    static ClipSourceFilter unknown() { return {Case::unknown, {}, {}, false}; }
    static ClipSourceFilter selection(QSet<QString> ids, bool includesUnknown)
    {
        return {Case::selection, {}, std::move(ids), includesUnknown};
    }

    // True for `all` and for an empty selection that does not admit unknown sources.
    bool isAll() const
    {
        return kind == Case::all || (kind == Case::selection && bundleIDs.isEmpty() && !includesUnknown);
    }

    bool operator==(const ClipSourceFilter&) const = default;
};

} // namespace tavlin
