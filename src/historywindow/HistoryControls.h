#pragma once

#include "ThemeColor.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <functional>

namespace tavlin {

// The painted controls of the history window's header and sidebar.

// A button that knows whether the pointer is over it.
class HoverButton : public QAbstractButton {
    Q_OBJECT
public:
    using QAbstractButton::QAbstractButton;
    bool isHovered() const { return hovered_; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hovered_ = false;
};

// A capsule with a title (and an optional symbol before it): the kind chips and the source
// filter button. Filled with the selection colour while `selected`; outlined with a hairline
// otherwise, in the accent colour and thicker under increased contrast.
class CapsuleButton : public QAbstractButton {
    Q_OBJECT
public:
    CapsuleButton(const QString& text, const QFont& font, int horizontalPadding, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol) { symbol_ = symbol; updateGeometry(); update(); }
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static qreal borderWidth(bool selected, bool increasedContrast);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    int padding_;
    bool selected_ = false;
};

// An icon-only button: its tooltip is also its accessible name.
class SymbolButton : public HoverButton {
    Q_OBJECT
public:
    SymbolButton(const QString& symbol, int side, int symbolSize, const ThemeColor& color, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    QSize sizeHint() const override { return {side_, side_}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    int side_;
    int symbolSize_;
    ThemeColor color_;
};

// A sidebar row: a symbol, a title and a count (sections), or the Settings button; a rounded
// background when current or hovered.
class SidebarRow : public HoverButton {
    Q_OBJECT
public:
    SidebarRow(const QString& symbol, const QString& title, bool settings, QWidget* parent = nullptr);

    void setCount(const QString& count);
    void setCurrent(bool current);
    bool isCurrent() const { return current_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    QString count_;
    bool settings_;
    bool current_ = false;
};

// Lets a scroll area or item view show what is behind it: no fill of its own, its viewport's or
// its content's.
void clearBackground(QAbstractScrollArea* area);

// The records views' scroll bar: a rounded handle in the theme's secondary text colour, over no
// track and without arrows, in place of the style's boxed bar, which stays light over a dark
// window. The style still places the handle, so dragging and paging work as before.
class SlimScrollBar : public QScrollBar {
public:
    explicit SlimScrollBar(QWidget* parent = nullptr) : QScrollBar(Qt::Vertical, parent) {}
    QSize sizeHint() const override { return {thickness, QScrollBar::sizeHint().height()}; }
    static constexpr int thickness = 10;

protected:
    void paintEvent(QPaintEvent* event) override;
};

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
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange();

    QWidget* heading_;
    QWidget* search_;
    QWidget* actions_;
    bool wide_ = true;
};

} // namespace tavlin
