#pragma once

#include <QList>
#include <QUrl>

namespace tavlin {

// Shows files selected in the desktop's file manager (the freedesktop FileManager1 interface on
// the session bus), or, where no file manager answers, opens the folder of the first one.
// Asynchronous; a failure is not reported.
struct DesktopFileManager {
    static void showItems(const QList<QUrl>& files);
    static void openFolderOf(const QUrl& file);
};

} // namespace tavlin
