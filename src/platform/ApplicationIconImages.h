#pragma once

#include <QFuture>
#include <QImage>
#include <QList>
#include <QString>

namespace tavlin {

// The images of applications' and file types' icons, as the desktop draws them. They are found and
// decoded off the main thread: the files are other programs' (an icon theme, a desktop entry's
// Icon), and any of them may be a pipe, a bomb or slow to draw. A future that ends without images
// says there is no icon to show.
class ApplicationIconImages {
public:
    virtual ~ApplicationIconImages() = default;

    // The icon a desktop entry's Icon names (an icon's name or a file's path) at each edge of `edges`
    // (in pixels); the desktop's icon for programs when the name is found nowhere.
    virtual QFuture<QList<QImage>> applicationIcon(const QString& iconName, const QList<int>& edges) const = 0;
    // The icon of the type of files whose names end in `suffix` (lower case, empty for none): the
    // type's own icon, else its generic one, each edge from the image drawn closest to it.
    virtual QFuture<QList<QImage>> fileTypeIcon(const QString& suffix, const QList<int>& edges) const = 0;
};

} // namespace tavlin
