#pragma once

#include <QRect>

#include <chrono>

class QAbstractItemView;
class QModelIndex;

namespace tavlin {

// A view of records that shows a copy's confirmation badge on its record says where the badge
// is, in its viewport's coordinates, so that assistive technology finds it where it is seen.
class ConfirmationBadgePlace {
public:
    virtual QRect confirmationBadgeRect(const QModelIndex& index) const = 0;

protected:
    ~ConfirmationBadgePlace() = default;
};

// What assistive technology sees of a view of records (the history's list and cards, the Quick
// Panel's list): the view as a list, and each card or row as one cell named by its record
// ("TEXT: first characters…"), selectable and pressable, with no headers. A cell shows only while
// its view shows it, and has the focus only while it is selected and its view has the keys: the
// keyboard, or the arrows of the search field that leads it.
struct RecordsAccessibility {
    // Called on a view over a RecordListModel when it is made, before anything asks for its
    // interface.
    static void describe(QAbstractItemView* view);
    // Tells assistive technology that the keyboard is on the view's current record, if the view
    // has the keyboard, or never takes it and is moved by the keys of its active window (the Quick
    // Panel's list, led by its search field): for a view whose current record moves without the
    // list's own telling. Told at a steady pace (ReaderPace), with the selection, as it then stands.
    static void focusCurrent(QAbstractItemView* view);
    // Tells assistive technology which record is selected now and that the one told before no
    // longer is, each by its row: for a view that would tell it otherwise (a table counts its
    // headers among its cells). Paced as focusCurrent is, and told with it.
    static void selectionChanged(QAbstractItemView* view);

    // Holds back telling which record the keyboard is on until releaseFocus, or for holdLimit at
    // most: for a change on its way that moves it, such as a deletion, so that a reader hears the
    // record the keyboard lands on once, not first the one about to go. The selection is still told.
    static constexpr std::chrono::milliseconds holdLimit{2000};
    static void holdFocus(QAbstractItemView* view);
    // Tells the record the keyboard is on now, if the telling was held back.
    static void releaseFocus(QAbstractItemView* view);
};

} // namespace tavlin
