#include "HistoryModel.h"

#include <QStandardPaths>

namespace tavlin {

HistoryModel::HistoryModel(const QString& databasePath, Pasteboard& pasteboard, const Workspace& workspace,
                           QObject* parent)
    : QObject(parent), databasePath_(databasePath), repository_(std::make_unique<HistoryRepository>(databasePath)),
      browser_(*repository_), monitor_(*repository_, pasteboard, workspace, browser_),
      operations_(*repository_, pasteboard, monitor_, browser_)
{
}

HistoryModel::~HistoryModel() = default;

QString HistoryModel::defaultDatabasePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Tavlin/history.sqlite");
}

} // namespace tavlin
