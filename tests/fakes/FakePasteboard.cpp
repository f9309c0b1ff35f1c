#include "FakePasteboard.h"

#include <qcoro/qcorotimer.h>

namespace tavlin::test {

namespace {

class FakeItem : public PasteboardItem {
public:
    FakeItem(FakePasteboard::Item item, std::shared_ptr<QStringList> requests, std::shared_ptr<qint64> currentChange,
             std::chrono::milliseconds delay)
        : item_(std::move(item)), requests_(std::move(requests)), currentChange_(std::move(currentChange)),
          change_(*currentChange_), delay_(delay)
    {
    }

    QStringList types() const override { return item_.types; }

    QCoro::Task<std::optional<QByteArray>> data(QString type) const override
    {
        requests_->append(type);
        if (delay_.count() > 0)
            co_await QCoro::sleepFor(delay_);
        const auto it = item_.data.constFind(type);
        if (*currentChange_ != change_ || it == item_.data.cend() || !item_.types.contains(type))
            co_return std::nullopt;
        co_return *it;
    }

private:
    FakePasteboard::Item item_;
    std::shared_ptr<QStringList> requests_;
    std::shared_ptr<qint64> currentChange_;
    qint64 change_;
    std::chrono::milliseconds delay_;
};

} // namespace

void FakePasteboard::countChange()
{
    ++changeCount_;
    *currentChange_ = changeCount_;
    if (observer_)
        observer_(changeCount_);
}

void FakePasteboard::setItems(const QList<Item>& items)
{
    items_ = items;
    countChange();
}

void FakePasteboard::setClipItems(const QList<ClipItem>& items)
{
    QList<Item> offered;
    for (const ClipItem& clipItem : items) {
        Item item;
        for (const ClipRepresentation& representation : clipItem.representations) {
            if (!item.types.contains(representation.type)) {
                item.types.append(representation.type);
                item.data.insert(representation.type, representation.data);
            }
        }
        offered.append(item);
    }
    setItems(offered);
}

void FakePasteboard::setString(const QString& text, const QString& type)
{
    setItems({Item{{type}, {{type, text.toUtf8()}}}});
}

QList<ClipItem> FakePasteboard::clipItems() const
{
    QList<ClipItem> result;
    for (const Item& item : items_) {
        ClipItem clipItem;
        for (const QString& type : item.types) {
            if (item.data.contains(type))
                clipItem.representations.append({type, item.data.value(type)});
        }
        result.append(clipItem);
    }
    return result;
}

QCoro::Task<QList<std::shared_ptr<const PasteboardItem>>> FakePasteboard::items() const
{
    QList<std::shared_ptr<const PasteboardItem>> result;
    for (const Item& item : items_)
        result.append(std::make_shared<FakeItem>(item, dataRequests_, currentChange_, answerDelay));
    co_return result;
}

std::optional<QString> FakePasteboard::string(const QString& type) const
{
    for (const Item& item : items_) {
        if (item.types.contains(type) && item.data.contains(type))
            return QString::fromUtf8(item.data.value(type));
    }
    return std::nullopt;
}

void FakePasteboard::clearContents()
{
    items_.clear();
    ++clearCount_;
    countChange();
}

bool FakePasteboard::writeItems(const QList<ClipItem>& items)
{
    ++writeCount_;
    if (refuseWrites)
        return false;
    setClipItems(items);
    return true;
}

} // namespace tavlin::test
