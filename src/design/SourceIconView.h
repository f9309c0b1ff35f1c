#pragma once

#include "SourceApplicationIcon.h"

#include <QWidget>

#include <memory>

namespace tavlin {

// The 18 by 18 icon of a record's source application, or its kind's symbol; its tooltip and
// accessible name are the application's name.
class SourceIconView : public QWidget {
    Q_OBJECT
public:
    explicit SourceIconView(std::shared_ptr<const SourceApplicationIcon::Value> source, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<const SourceApplicationIcon::Value> source_;
};

} // namespace tavlin
