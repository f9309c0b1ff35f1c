#pragma once

#include "Workspace.h"

#include <QHash>

namespace tavlin::test {

// A desktop whose frontmost application and installed applications a test sets directly.
class FakeWorkspace : public Workspace {
public:
    explicit FakeWorkspace(std::optional<QString> frontmost = std::nullopt) : frontmost(std::move(frontmost)) { }

    std::optional<QString> frontmost;
    // Installed applications by identifier.
    QHash<QString, ApplicationInfo> applications;
    // Desktop-file path -> identifier, for the applications a file chooser can pick.
    QHash<QString, QString> desktopFiles;
    // Every showItems call, in order.
    mutable QList<QList<QUrl>> shownItems;

    void install(const ApplicationInfo& info)
    {
        applications.insert(info.id, info);
        if (!info.desktopFilePath.isEmpty())
            desktopFiles.insert(info.desktopFilePath, info.id);
    }

    std::optional<QString> frontmostApplicationID() const override { return frontmost; }

    std::optional<ApplicationInfo> application(const QString& id) const override
    {
        const auto it = applications.constFind(id);
        if (it == applications.cend())
            return std::nullopt;
        return *it;
    }

    QList<ApplicationInfo> installedApplications() const override { return applications.values(); }

    std::optional<QString> applicationID(const QString& desktopFilePath) const override
    {
        const auto it = desktopFiles.constFind(desktopFilePath);
        if (it == desktopFiles.cend())
            return std::nullopt;
        return *it;
    }

    void showItems(const QList<QUrl>& files) const override { shownItems.append(files); }
};

} // namespace tavlin::test
