#pragma once

#include "UpdateUserDriver.h"

#include <QPointer>
#include <QUrl>

#include <functional>

class QMessageBox;

namespace tavlin {

// The update check's window: a non-modal message box with the outcome, and for a newer version
// a button that opens its download page. A new outcome replaces a box still open.
class MessageBoxUpdateDriver : public UpdateUserDriver {
public:
    using OpenURL = std::function<void(const QUrl&)>;

    explicit MessageBoxUpdateDriver(OpenURL openURL);
    ~MessageBoxUpdateDriver() override;

    void show(const UpdateCheckResult& result) override;

private:
    OpenURL openURL_;
    QPointer<QMessageBox> box_;
};

} // namespace tavlin
