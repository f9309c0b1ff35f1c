// Fills a history database for the benches that run the real application: COUNT records copied
// through the capture, of every ten seven texts, two web pages and one PNG image.
// Usage: tavlin_seed_history DATABASE COUNT
#include "BenchHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATABASE COUNT\n", argv[0]);
        return 2;
    }
    tavlin::bench::History history;
    history.copyMixed(QByteArray(argv[2]).toInt());
    history.model.reset();
    // The database and its payload folder, moved where the application will find them.
    const QString target = QFileInfo(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(QFileInfo(target).absolutePath());
    QDir(target).removeRecursively();
    return QDir().rename(QFileInfo(history.databasePath()).absolutePath(), target) ? 0 : 1;
}
