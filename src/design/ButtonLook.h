#pragma once

#include "TavlinButtonStyle.h"
#include "ThemeColor.h"

#include <QMetaType>
#include <QPushButton>
#include <QString>
#include <QToolButton>

#include <functional>
#include <optional>

namespace tavlin {

// How one of the design's buttons looks. A plain QPushButton or QToolButton carries it as a
// property, and TavlinStyle draws and measures the button from it, so every button of the
// interface is one stock class and the look lives in one place. Checkable buttons draw their
// chosen state from being checked, which is also what assistive technology hears.
struct ButtonLook {
    enum class Kind {
        // A capsule in one of the three kinds of TavlinButtonStyle, with a ring outside it.
        action,
        // A capsule with an optional symbol before its title: filled while checked, outlined
        // otherwise (the history window's kind chips and source filter).
        chip,
        // A symbol alone: a rounded highlight while hovered or focused; checked, it is tinted
        // in the accent on the selection fill and may show another symbol.
        symbol,
        // A sidebar row of the history window: symbol, title and a count at the far end; the
        // chosen (checked) one on the selection fill with an outline.
        sidebarRow,
        // The history sidebar's Settings row: always on the control fill.
        sidebarAction,
        // A section of the Settings sidebar: an accent symbol and the title, bold when chosen.
        sectionTab,
        // The preview's "Copy" capsule: dark on light, light on dark.
        copy,
        // The preview's small capsules on the control fill.
        pill,
        // An accent symbol and title with no fill (a button that reads like a link).
        link,
        // A segment of a segmented picker: the chosen one filled.
        segment,
    };

    Kind kind = Kind::action;
    // The capsule kind and least height, for action buttons.
    TavlinButtonStyle capsule;
    // The symbol shown before the title (or alone), and the one shown while checked if other.
    QString symbol;
    QString checkedSymbol;
    int symbolSize = 16;
    // Room between the edge and the content on each side.
    int padding = 12;
    // The symbol's or title's colour where the kind's own is not wanted.
    std::optional<ThemeColor> ink;
    // A short text at the far end (the count of a sidebar row).
    QString detail;
    // Shows the focus ring whoever holds the focus: a list that keeps the focus itself marks its
    // chosen row so.
    bool focusRing = false;

    static ButtonLook styled(TavlinButtonStyle capsule);
    static ButtonLook withKind(Kind kind);

    // The look a widget carries, if it carries one.
    static std::optional<ButtonLook> of(const QWidget* widget);
    // Gives a button its look and the font that goes with it, and makes it show the pointing hand
    // and take focus from the keyboard only (a click leaves focus where it was).
    static void apply(QAbstractButton* button, const ButtonLook& look);
    // Changes the look of a button that carries one.
    static void change(QAbstractButton* button, const std::function<void(ButtonLook&)>& edit);
    // Changes the count a button shows (and tells assistive technology as its description).
    static void setDetail(QAbstractButton* button, const QString& detail);

    // An action push button of the capsule kind with a title.
    static QPushButton* action(TavlinButtonStyle capsule, const QString& text, QWidget* parent = nullptr);
    // A push button of the look with a title.
    static QPushButton* push(const ButtonLook& look, const QString& text, QWidget* parent = nullptr);
    // A square symbol button of `side` whose tool tip is also its accessible name.
    static QToolButton* symbolButton(const QString& symbol, int side, int symbolSize, const QString& label,
                                     QWidget* parent = nullptr);
    // A symbol button's label: its tool tip, accessible name and description, each change told.
    // Whether it changed.
    static bool setLabel(QAbstractButton* button, const QString& label);

    // Room kept around an action capsule for the focus ring, so that focus never moves it.
    static constexpr int focusRingOutset = TavlinButtonStyle::focusRingOutset;
};

} // namespace tavlin

Q_DECLARE_METATYPE(tavlin::ButtonLook)
