#pragma once

#include "SourceApplicationIcon.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace tavlin {

// The 18 by 18 icon of a record's source application, or its kind's symbol; its tooltip and
// accessible name are the application's name. The icon shows once `sources` has decoded it.
class SourceIconView : public QWidget {
    Q_OBJECT
public:
    SourceIconView(const SourceApplicationIcon& sources, const std::optional<QString>& bundleID, ClipKind kind,
                   QWidget* parent = nullptr);

    QSize sizeHint() const override { return {18, 18}; }
    std::shared_ptr<const SourceApplicationIcon::Value> source() const { return sources_.resolve(bundleID_, kind_); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SourceApplicationIcon& sources_;
    std::optional<QString> bundleID_;
    ClipKind kind_;
};

} // namespace tavlin
