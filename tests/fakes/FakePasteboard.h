#pragma once

#include "Pasteboard.h"

#include <QHash>

#include <chrono>

namespace tavlin::test {

// An in-memory clipboard. Every change made through it (set, clear, accepted write) grows the
// change count by one, as the real one does.
class FakePasteboard : public Pasteboard {
public:
    // One offered item: its types in order, and the bytes the owner hands out for each. A type
    // listed without bytes models an owner that offers a type and then fails to convert it.
    struct Item {
        QStringList types;
        QHash<QString, QByteArray> data;
    };

    // Replaces the content, as another application's copy would.
    void setItems(const QList<Item>& items);
    void setClipItems(const QList<ClipItem>& items);
    void setString(const QString& text, const QString& type = QStringLiteral("public.utf8-plain-text"));

    // When set, writeItems refuses (returns false) and leaves the content as it is.
    bool refuseWrites = false;
    // How long the owner takes to hand out the bytes of one type (the event loop runs meanwhile).
    std::chrono::milliseconds answerDelay{0};

    // What the code under test did.
    int clearCount() const { return clearCount_; }
    int writeCount() const { return writeCount_; }
    // Every data request, as "type" strings in order, so a test can see what a reader fetched.
    const QStringList& dataRequests() const { return *dataRequests_; }
    // How often the change count was read: a poll that has read it after a copy has seen it.
    int changeCountReads() const { return changeCountReads_; }
    // The current content as the clip items a write would have made of it.
    QList<ClipItem> clipItems() const;

    qint64 changeCount() const override
    {
        ++changeCountReads_;
        return changeCount_;
    }
    void setChangeObserver(ChangeObserver observer) override { observer_ = std::move(observer); }
    std::optional<QString> ownerApplicationID() const override { return std::nullopt; }
    QCoro::Task<QList<std::shared_ptr<const PasteboardItem>>> items() const override;
    // The content's string for a type (from the first item that has it), as a test reads it.
    std::optional<QString> string(const QString& type) const;
    void clearContents() override;
    bool writeItems(const QList<ClipItem>& items) override;

private:
    void countChange();

    ChangeObserver observer_;
    QList<Item> items_;
    qint64 changeCount_ = 1;
    int clearCount_ = 0;
    int writeCount_ = 0;
    mutable int changeCountReads_ = 0;
    std::shared_ptr<QStringList> dataRequests_ = std::make_shared<QStringList>();
    // Grows with every change: an item of an earlier one gives no bytes, as on a real clipboard.
    std::shared_ptr<qint64> currentChange_ = std::make_shared<qint64>(changeCount_);
};

} // namespace tavlin::test
