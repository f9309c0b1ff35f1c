#pragma once

#include "ElidedLabel.h"

namespace tavlin {

// A source application's name on one line in the metadata colour, cut at the end when the row
// is short of room (it gives way to its neighbours first); the whole name is its tooltip.
class SourceApplicationNameLabel : public ElidedLabel {
    Q_OBJECT
public:
    explicit SourceApplicationNameLabel(const QString& name, QWidget* parent = nullptr);

    QString name() const { return text(); }
    void setName(const QString& name) { setText(name); }
};

} // namespace tavlin
