#include "FakePasteboard.h"

namespace tavlin::test {

namespace {

class FakeItem : public PasteboardItem {
public:
    FakeItem(FakePasteboard::Item item, std::shared_ptr<QStringList> requests)
        : item_(std::move(item)), requests_(std::move(requests))
    {
    }

    QStringList types() const override { return item_.types; }

    std::optional<QByteArray> data(const QString& type) const override
    {
        requests_->append(type);
        const auto it = item_.data.constFind(type);
        if (it == item_.data.cend() || !item_.types.contains(type))
            return std::nullopt;
        return *it;
    }

private:
    FakePasteboard::Item item_;
    std::shared_ptr<QStringList> requests_;
};

} // namespace

void FakePasteboard::countChange()
{
    ++changeCount_;
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

QList<std::shared_ptr<const PasteboardItem>> FakePasteboard::items() const
{
    QList<std::shared_ptr<const PasteboardItem>> result;
    for (const Item& item : items_)
        result.append(std::make_shared<FakeItem>(item, dataRequests_));
    return result;
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
