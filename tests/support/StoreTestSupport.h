#pragma once

#include "ClipPayload.h"
#include "HistoryStore.h"
#include "TemporaryFolder.h"

#include <QStringList>

#include <memory>

namespace tavlin::test {

// Direct SQL on a history database, bypassing the store: to build old schema versions and
// damaged rows, and to look at what the store wrote.
void executeSQL(const QString& databasePath, const QString& sql);
qint64 queryInteger(const QString& databasePath, const QString& sql);
QStringList queryTexts(const QString& databasePath, const QString& sql);

// Adds ordinary records to the history at `databasePath` (made if missing), oldest first (ids
// follow age), each of `bytes`, from `sources` in turn.
void fillHistory(const QString& databasePath, int count, const QStringList& sources = {}, qint64 bytes = 1024);

// Stores `count` records of the text "r" through the store, with their payload files, as copies
// made one after another (ids follow age) from `sources` in turn: records the application can
// show, copy and preview whole.
void storeHistory(const QString& databasePath, int count, const QStringList& sources = {});

ClipPayload textPayload(const QString& text);
// The .clip files currently in a payload folder, sorted.
QStringList payloadFiles(const QString& folder);

// A store on a fresh temporary folder, with helpers for the common steps.
struct StoreFixture {
    TemporaryFolder folder;
    std::unique_ptr<HistoryStore> store;

    StoreFixture() { reopen(); }
    void reopen()
    {
        store.reset();
        store = std::make_unique<HistoryStore>(folder.databasePath());
    }
    void insertText(const QString& text, qint64 limit = 1000, qint64 bytes = HistoryStore::maximumStoredPayloadBytes)
    {
        store->insert(textPayload(text), text, ClipKind::text, std::nullopt, limit, bytes);
    }
    QStringList texts() const; // newest first
    qint64 newestID() const;
    QString fileNameOf(qint64 id) const;
};

} // namespace tavlin::test
