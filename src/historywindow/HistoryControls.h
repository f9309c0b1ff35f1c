#pragma once

#include "HistorySection.h"

#include <QAbstractScrollArea>
#include <QWidget>

namespace tavlin {

// Lets a scroll area or item view show what is behind it: no fill of its own, its viewport's or
// its content's.
void clearBackground(QAbstractScrollArea* area);

// Gives a label or field its text colour.
void setTextColor(QWidget* widget, const QColor& color);

// The symbol that stands for a section, in the sidebar and beside the heading.
QString sectionSymbol(HistorySection section);

// The header's first line: heading, search field and actions on one line when they fit at
// their natural widths, else the search field on a line of its own below the other two.
class HeaderTitleLine : public QWidget {
    Q_OBJECT
public:
    HeaderTitleLine(QWidget* heading, QWidget* search, QWidget* actions, QWidget* parent = nullptr);

    bool isWide() const { return wide_; }
    // Whether the wide arrangement fits an inner width.
    static bool fitsWide(int width, int heading, int actions);
    static constexpr int searchWidth = 396;
    static constexpr int searchHeight = 34;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange();

    QWidget* heading_;
    QWidget* search_;
    QWidget* actions_;
    bool wide_ = true;
};

} // namespace tavlin
