#pragma once

#include "Workspace.h"

#include <QDialog>
#include <QList>
#include <QUrl>

class QLineEdit;
class QListView;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;

namespace tavlin {

class Announcer;
class SourceApplicationIcon;

// Picks an application to exclude: the installed applications with icon and name, narrowed by a
// filter, or "Other…" for a desktop file elsewhere. Reports the chosen desktop file; the file is
// only read by whoever adds it, never run. Icons come from `sources` as they are decoded, for the
// rows shown. The list holds only the rows the filter shows, and a screen reader hears them as
// they change while the keyboard stays in the filter: the row Return adds, among how many, or that
// none matches.
class ApplicationChooser : public QDialog {
    Q_OBJECT
public:
    ApplicationChooser(const SourceApplicationIcon& sources, QList<ApplicationInfo> applications,
                       QWidget* parent = nullptr);

    QLineEdit* filter() const { return filter_; }
    // The rows shown, one application each, in order of name.
    QListView* list() const { return list_; }

Q_SIGNALS:
    void chosen(const QUrl& desktopFile);

private:
    void applyFilter();
    void tellShown();
    // The current row and the names of the rows shown.
    QStringList shownState() const;
    void accept() override;
    void chooseOther();

    QLineEdit* filter_;
    QStandardItemModel* applications_;
    QSortFilterProxyModel* shown_;
    QListView* list_;
    QPushButton* add_;
    Announcer* announcer_;
    // The rows shown and the current one when a screen reader was last told of them.
    QStringList told_;
};

} // namespace tavlin
