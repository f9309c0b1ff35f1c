#pragma once

#include "ApplicationIconImages.h"

#include <QColor>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QPromise>

#include <memory>

namespace tavlin::test {

// Icons a test gives, each scaled to every edge asked for. An answer is ready at once, as for an
// icon decoded before anyone waited, unless the test holds answers back; then they come with
// release(). A name the test did not give has no icon.
class FakeApplicationIconImages : public ApplicationIconImages {
public:
    QHash<QString, QImage> applications;
    // By suffix.
    QHash<QString, QImage> fileTypes;
    bool hold = false;
    mutable int asked = 0;

    QFuture<QList<QImage>> applicationIcon(const QString& iconName, const QList<int>& edges) const override
    {
        return answer(applications.value(iconName), edges);
    }
    QFuture<QList<QImage>> fileTypeIcon(const QString& suffix, const QList<int>& edges) const override
    {
        return answer(fileTypes.value(suffix), edges);
    }

    static QImage filled(const QColor& colour)
    {
        QImage image(48, 48, QImage::Format_ARGB32);
        image.fill(colour);
        return image;
    }

    // Gives every answer held back.
    void release()
    {
        for (const Held& held : std::as_const(held_)) {
            held.promise->start();
            held.promise->addResult(held.images);
            held.promise->finish();
        }
        held_.clear();
    }

private:
    struct Held {
        std::shared_ptr<QPromise<QList<QImage>>> promise;
        QList<QImage> images;
    };

    QFuture<QList<QImage>> answer(const QImage& given, const QList<int>& edges) const
    {
        ++asked;
        QList<QImage> images;
        for (int edge : edges) {
            if (!given.isNull())
                images.append(given.scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }
        if (!hold)
            return QtFuture::makeReadyFuture(images);
        auto promise = std::make_shared<QPromise<QList<QImage>>>();
        held_.append({promise, images});
        return promise->future();
    }

    mutable QList<Held> held_;
};

} // namespace tavlin::test
