#pragma once

#include "ClipKind.h"

#include <QWidget>

#include <optional>

namespace tavlin {

// The 18 by 18 icon of a record's source application, or its kind's symbol; its tooltip and
// accessible name are the application's name.
class SourceIconView : public QWidget {
    Q_OBJECT
public:
    SourceIconView(const std::optional<QString>& bundleID, ClipKind kind, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QString> bundleID_;
    ClipKind kind_;
};

} // namespace tavlin
