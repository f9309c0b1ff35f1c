#pragma once

#include "HistoryBrowser.h"
#include "HistoryMonitor.h"
#include "HistoryOperations.h"
#include "HistoryRepository.h"

#include <QObject>
#include <QString>

#include <memory>

namespace tavlin {

class Workspace;

class Pasteboard;

// The history on the main thread, in the three parts its users draw on: capture and monitoring,
// the history window's browsing state, and the operations both windows share. It owns the
// repository (and its thread) that all three use.
class HistoryModel : public QObject {
    Q_OBJECT

public:
    // Copies are attributed to the workspace's frontmost application.
    HistoryModel(const QString& databasePath, Pasteboard& pasteboard, const Workspace& workspace,
                 QObject* parent = nullptr);
    ~HistoryModel() override;

    // ~/.local/share/Tavlin/history.sqlite (under $XDG_DATA_HOME when set).
    static QString defaultDatabasePath();
    const QString& databasePath() const { return databasePath_; }

    HistoryBrowser& browser() { return browser_; }
    const HistoryBrowser& browser() const { return browser_; }
    HistoryMonitor& monitor() { return monitor_; }
    // For quitting: the history's thread drops what waits and cuts short a store under way.
    void stopHistory() { repository_->stop(); }
    HistoryOperations& operations() { return operations_; }

private:
    QString databasePath_;
    std::unique_ptr<HistoryRepository> repository_;
    // Declared in the order they depend on each other.
    HistoryBrowser browser_;
    HistoryMonitor monitor_;
    HistoryOperations operations_;
};

} // namespace tavlin
