#pragma once

#include "Appearance.h"
#include "Clip.h"
#include "ClipRowPresentation.h"

#include <QImage>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>

namespace tavlin {

class QuickPanelListModel;

// Paints one record of the Quick Panel list in its 50-pixel row: the kind symbol or thumbnail,
// a one-line summary, the source application and the record's size or kind, and a star for
// favourites.
class QuickPanelRow : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int height = 50;
    static constexpr qsizetype summaryCharacters = 600;
    static constexpr qsizetype tooltipCharacters = 1200;
    // Larger thumbnails are not decoded.
    static constexpr int thumbnailLimit = 1024;

    explicit QuickPanelRow(const QuickPanelListModel& model, QObject* parent = nullptr);

    // Asked for each painted row that has no presentation yet.
    std::function<void(const Clip&)> needsPresentation = [](const Clip&) {};

    // The one line of a row: the first file name, else the first line of the first 600
    // characters that is not a lone opening brace or bracket.
    static QString summary(const Clip& clip, const std::optional<ClipRowPresentation>& presentation);
    static QString tooltip(const Clip& clip);
    // A thumbnail decoded from PNG bytes; null when they do not decode or are too large.
    static QImage decodeThumbnail(const std::optional<QByteArray>& bytes);

    static void paintRow(QPainter& painter, const QRectF& rect, const Clip& clip,
                         const std::optional<ClipRowPresentation>& presentation, const QString& summary,
                         const QImage& thumbnail, bool selected, const Appearance& appearance);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const QuickPanelListModel& model_;
};

} // namespace tavlin
