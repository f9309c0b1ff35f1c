#pragma once

#include "Workspace.h"

#include <QDialog>
#include <QList>
#include <QUrl>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavlin {

class SourceApplicationIcon;

// Picks an application to exclude: the installed applications with icon and name, narrowed by a
// filter, or "Other…" for a desktop file elsewhere. Reports the chosen desktop file; the file is
// only read by whoever adds it, never run. Icons come from `sources` as they are decoded, for the
// rows shown.
class ApplicationChooser : public QDialog {
    Q_OBJECT
public:
    ApplicationChooser(const SourceApplicationIcon& sources, QList<ApplicationInfo> applications,
                       QWidget* parent = nullptr);

    QLineEdit* filter() const { return filter_; }
    QListWidget* list() const { return list_; }

Q_SIGNALS:
    void chosen(const QUrl& desktopFile);

private:
    void applyFilter();
    void accept() override;
    void chooseOther();

    QLineEdit* filter_;
    QListWidget* list_;
    QPushButton* add_;
};

} // namespace tavlin
