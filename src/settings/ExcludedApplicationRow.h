#pragma once

#include "SourceApplicationIcon.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace tavlin {

// One excluded application: icon, name and identifier (or "Not found on this computer" for an
// application that is no longer installed), and a button that removes it from the list.
class ExcludedApplicationRow : public QWidget {
    Q_OBJECT
public:
    ExcludedApplicationRow(const SourceApplicationIcon& sources, const QString& bundleID,
                           std::function<void()> onRemove, QWidget* parent = nullptr);

    // The installed application of that identifier; nothing when none is installed.
    static std::shared_ptr<const SourceApplicationIcon::Value> application(const SourceApplicationIcon& sources,
                                                                           const QString& bundleID);
    // The name to show for an identifier: the installed application's, else the identifier.
    static QString displayName(const SourceApplicationIcon& sources, const QString& bundleID);
};

} // namespace tavlin
