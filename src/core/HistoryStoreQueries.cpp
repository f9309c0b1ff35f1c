// The read path and the small edits: queries, counts, sources, favorites, delete and clear.
#include "HistoryStore.h"

#include "SearchFolding.h"
#include "StorageError.h"

#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace tavlin {

namespace {

QString placeholders(qsizetype count)
{
    QStringList marks;
    marks.fill(QStringLiteral("?"), count);
    return marks.join(QStringLiteral(", "));
}

} // namespace

void HistoryStore::refoldSearchText()
{
    // The version of the folding the search texts were written with is kept beside them, so the
    // texts are folded again once when it changes, not on every open: folding a megabyte takes a
    // while, and the history waits for it.
    execute("CREATE TABLE IF NOT EXISTS search_folding (version INTEGER NOT NULL)");
    int foldedWith = 0;
    {
        SqliteStatement statement = prepare("SELECT version FROM search_folding");
        const int result = statement.step();
        if (result == SQLITE_ROW)
            foldedWith = statement.int32(0);
        else
            checkDone(result);
    }
    if (foldedWith == SearchFolding::version)
        return;

    // A history from before the version was kept may hold texts an early build folded one
    // character to one, keeping "ß", "ﬁ" or "ᾳ" where full folding writes "ss", "fi" or "αι", so
    // a search for "strasse" missed their "Straße": only texts holding one of the characters
    // whose folding changed then are read again. Another version may differ anywhere. Only rows
    // whose search text differs are written.
    QList<std::pair<qint64, QString>> changed;
    {
        SqliteStatement statement = prepare(foldedWith == 0
                                                ? "SELECT id, text, search_text FROM clips WHERE text GLOB "
                                                  "'*[\u00DF\u0130\u0149\u0587\u1E9A\u1E9E\u1F80-\u1FFC\uFB00-\uFB17]*'"
                                                : "SELECT id, text, search_text FROM clips");
        int result = SQLITE_ROW;
        while ((result = statement.step()) == SQLITE_ROW) {
            const QString folded = searchText(statement.text(1).value_or(QString()));
            if (statement.text(2) != folded)
                changed.append({statement.int64(0), folded});
        }
        checkDone(result);
    }
    SqliteStatement update = prepare("UPDATE clips SET search_text = ? WHERE id = ?");
    for (const auto& [id, folded] : changed) {
        update.reset();
        bindText(folded, update, 1);
        if (update.bindInt64(2, id) != SQLITE_OK)
            throwUnavailable();
        checkDone(update.step());
    }
    execute("DELETE FROM search_folding");
    SqliteStatement stamp = prepare("INSERT INTO search_folding(version) VALUES (?)");
    if (stamp.bindInt64(1, SearchFolding::version) != SQLITE_OK)
        throwUnavailable();
    checkDone(stamp.step());
}

QString HistoryStore::searchText(const QString& text) const
{
    const std::optional<QString> folded = SearchFolding::fold(text, stop_);
    if (!folded)
        checkStop();
    return *folded;
}

HistoryStore::Filter HistoryStore::queryFilter(const HistoryQuery& query)
{
    QStringList clauses;
    Filter filter;

    // A literal substring match on the folded text: "%" and "_" need no escaping with instr.
    clauses.append(QStringLiteral("instr(search_text, ?) > 0"));
    filter.values.append(SearchFolding::fold(query.search.trimmed()));

    // A favorite is a flag that reads as a non-zero integer, the same test the listing applies:
    // a damaged or hand-edited row holding 2 must not be listed as a favorite yet counted,
    // filtered, cleared or evicted as an ordinary record.
    if (query.favoritesOnly)
        clauses.append(QStringLiteral("CAST(is_favorite AS INTEGER) != 0"));

    if (!query.kinds.isEmpty()) {
        QStringList raws;
        for (ClipKind kind : query.kinds)
            raws.append(toRaw(kind));
        raws.sort();
        raws.removeDuplicates();
        clauses.append(QStringLiteral("kind IN (%1)").arg(placeholders(raws.size())));
        filter.values.append(raws);
    }

    const ClipSourceFilter& source = query.source;
    switch (source.kind) {
    case ClipSourceFilter::Case::all: break;
    case ClipSourceFilter::Case::unknown: clauses.append(QStringLiteral("source IS NULL")); break;
    case ClipSourceFilter::Case::application:
        clauses.append(QStringLiteral("source = ?"));
        filter.values.append(source.bundleID);
        break;
    case ClipSourceFilter::Case::selection: {
        QStringList parts;
        if (!source.bundleIDs.isEmpty()) {
            QStringList ids(source.bundleIDs.begin(), source.bundleIDs.end());
            ids.sort();
            parts.append(QStringLiteral("source IN (%1)").arg(placeholders(ids.size())));
            filter.values.append(ids);
        }
        if (source.includesUnknown)
            parts.append(QStringLiteral("source IS NULL"));
        if (!parts.isEmpty())
            clauses.append(QStringLiteral("(%1)").arg(parts.join(QStringLiteral(" OR "))));
        break;
    }
    }
    filter.condition = clauses.join(QStringLiteral(" AND "));
    return filter;
}

void HistoryStore::bindFilter(const QStringList& values, SqliteStatement& statement)
{
    int index = 1;
    for (const QString& value : values)
        bindText(value, statement, index++);
}

QList<Clip> HistoryStore::fetch(qint64 limit, const HistoryQuery& request)
{
    const Filter filter = queryFilter(request);
    SqliteStatement statement = prepare(
        QStringLiteral(
            "SELECT id, text, created_at, source, kind, is_favorite FROM clips WHERE %1 ORDER BY id DESC LIMIT ?")
            .arg(filter.condition));
    bindFilter(filter.values, statement);
    if (statement.bindInt64(static_cast<int>(filter.values.size()) + 1, std::max(limit, qint64(1))) != SQLITE_OK)
        throwUnavailable();

    QList<Clip> clips;
    int result = SQLITE_ROW;
    while ((result = statement.step()) == SQLITE_ROW) {
        Clip clip;
        clip.id = statement.int64(0);
        const std::optional<QString> text = statement.text(1);
        if (!text)
            throwUnavailable();
        clip.text = *text;
        clip.createdAt = QDateTime::fromMSecsSinceEpoch(std::llround(statement.real(2) * 1000.0), QTimeZone::utc());
        clip.source = statement.text(3);
        const std::optional<QString> kind = statement.text(4);
        clip.kind = kind ? fromRaw<ClipKind>(*kind).value_or(ClipKind::other) : ClipKind::other;
        clip.isFavorite = statement.int64(5) != 0;
        clips.append(std::move(clip));
    }
    checkDone(result);
    return clips;
}

QList<Clip> HistoryStore::fetch(qint64 limit, const QString& search)
{
    return fetch(limit, HistoryQuery{search, false, {}, ClipSourceFilter::all()});
}

qint64 HistoryStore::count(const HistoryQuery& request)
{
    const Filter filter = queryFilter(request);
    SqliteStatement statement = prepare(QStringLiteral("SELECT COUNT(*) FROM clips WHERE %1").arg(filter.condition));
    bindFilter(filter.values, statement);
    if (statement.step() != SQLITE_ROW)
        throwUnavailable();
    return statement.int64(0);
}

HistorySummary HistoryStore::summary()
{
    SqliteStatement statement = prepare(
        "SELECT COUNT(*), COALESCE(SUM(CASE WHEN CAST(is_favorite AS INTEGER) != 0 THEN 1 ELSE 0 END), 0) FROM clips");
    if (statement.step() != SQLITE_ROW)
        throwUnavailable();
    return {statement.int64(0), statement.int64(1)};
}

QList<ClipSourceSummary> HistoryStore::sources()
{
    SqliteStatement statement = prepare(
        "SELECT source, COUNT(*) FROM clips GROUP BY source ORDER BY COUNT(*) DESC, source ASC");
    QList<ClipSourceSummary> summaries;
    int result = SQLITE_ROW;
    while ((result = statement.step()) == SQLITE_ROW)
        summaries.append({statement.text(0), statement.int64(1)});
    checkDone(result);
    return summaries;
}

bool HistoryStore::contains(qint64 id)
{
    SqliteStatement statement = prepare("SELECT 1 FROM clips WHERE id = ?");
    if (statement.bindInt64(1, id) != SQLITE_OK)
        throwUnavailable();
    const int result = statement.step();
    if (result == SQLITE_ROW)
        return true;
    checkDone(result);
    return false;
}

void HistoryStore::setFavorite(qint64 id, bool isFavorite)
{
    requireWritable();
    SqliteStatement statement = prepare("UPDATE clips SET is_favorite = ? WHERE id = ?");
    if (statement.bindInt64(1, isFavorite ? 1 : 0) != SQLITE_OK || statement.bindInt64(2, id) != SQLITE_OK)
        throwUnavailable();
    checkDone(statement.step());
}

void HistoryStore::deleteClip(qint64 id)
{
    transaction([&] {
        SqliteStatement statement = prepare("DELETE FROM clips WHERE id = ?");
        if (statement.bindInt64(1, id) != SQLITE_OK)
            throwUnavailable();
        checkDone(statement.step());
    });
    cleanupOrphansAfterCommit();
}

void HistoryStore::clear(bool keepingFavorites)
{
    transaction([&] {
        execute(keepingFavorites ? "DELETE FROM clips WHERE CAST(is_favorite AS INTEGER) = 0" : "DELETE FROM clips");
    });
    cleanupOrphansAfterCommit();
}

} // namespace tavlin
