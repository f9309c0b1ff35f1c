#include "ApplicationChooser.h"

#include "Announcer.h"
#include "SourceApplicationIcon.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHash>
#include <QIcon>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tavlin {

namespace {

constexpr int pathRole = Qt::UserRole;
constexpr int iconNameRole = Qt::UserRole + 1;

// Each row's icon is asked for as the row is drawn: only the rows shown are decoded, whatever the
// number of applications, and the dialog keeps none of them.
class ApplicationIconDelegate : public QStyledItemDelegate {
public:
    ApplicationIconDelegate(const SourceApplicationIcon& sources, QIcon waiting, QIcon placeholder, QObject* parent)
        : QStyledItemDelegate(parent), sources_(sources), waiting_(std::move(waiting)),
          placeholder_(std::move(placeholder))
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const std::optional<QIcon> icon = sources_.icon(index.data(iconNameRole).toString());
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = !icon ? waiting_ : icon->isNull() ? placeholder_ : *icon;
    }

private:
    const SourceApplicationIcon& sources_;
    QIcon waiting_;
    QIcon placeholder_;
};

// The applications whose name or identifier holds the filter's text, in any case.
class ApplicationFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setText(const QString& text)
    {
        text_ = text;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        return index.data(Qt::DisplayRole).toString().contains(text_, Qt::CaseInsensitive)
            || index.data(Qt::ToolTipRole).toString().contains(text_, Qt::CaseInsensitive);
    }

private:
    QString text_;
};

// Qt's list tells assistive technology that the focus came to its new current row also while the
// keyboard is elsewhere, in the filter that leads it; the chooser tells that itself, once the
// filter has settled. With the keyboard in the list, the list tells it.
class ApplicationList : public QListView {
public:
    using QListView::QListView;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override
    {
        if (hasFocus())
            QListView::currentChanged(current, previous);
        else
            QAbstractItemView::currentChanged(current, previous);
    }
};

} // namespace

ApplicationChooser::ApplicationChooser(const SourceApplicationIcon& sources, QList<ApplicationInfo> applications,
                                       QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("application-chooser"));
    setWindowTitle(QCoreApplication::translate("Tavlin", "Don’t save history from an app"));
    setWindowModality(Qt::WindowModal);
    // A dialog of one size, its texts in the interface's, whatever the desktop's font.
    setFixedSize(420, 460);
    const QFont body = SystemFont::regular(13);
    auto* layout = new QVBoxLayout(this);
    filter_ = new QLineEdit();
    filter_->setObjectName(QStringLiteral("application-chooser-filter"));
    filter_->setPlaceholderText(QCoreApplication::translate("Tavlin", "Search applications"));
    filter_->setAccessibleName(filter_->placeholderText());
    filter_->setClearButtonEnabled(true);
    filter_->setFont(body);
    layout->addWidget(filter_);
    applications_ = new QStandardItemModel(this);
    shown_ = new ApplicationFilter(this);
    shown_->setSourceModel(applications_);
    list_ = new ApplicationList();
    list_->setModel(shown_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setObjectName(QStringLiteral("application-chooser-list"));
    list_->setAccessibleName(QCoreApplication::translate("Tavlin", "Installed applications"));
    list_->setIconSize(QSize(24, 24));
    list_->setFont(body);
    list_->setUniformItemSizes(true); // one line each: thousands are laid out without measuring them
    layout->addWidget(list_, 1);
    // An empty list says only that it is a list: the chooser tells that nothing matches, from a
    // status line of its own that takes no room.
    auto* statusLine = new QWidget(this);
    statusLine->hide();
    announcer_ = new Announcer(statusLine);

    std::sort(applications.begin(), applications.end(), [](const ApplicationInfo& a, const ApplicationInfo& b) {
        const int byName = QString::localeAwareCompare(a.name, b.name);
        return byName != 0 ? byName < 0 : a.id < b.id;
    });
    // An application without an icon, or with one that cannot be shown, shows the placeholder the
    // exclusion list shows: its name stays in line with the others, as it does while its icon is
    // decoded, beside an empty space.
    const QIcon placeholder = SymbolIcon::icon(QStringLiteral("app.dashed"),
                                               TavlinTheme::secondaryText.resolve(ThemeAppearance::of(parent)));
    QPixmap empty(list_->iconSize());
    empty.fill(Qt::transparent);
    list_->setItemDelegate(new ApplicationIconDelegate(sources, QIcon(empty), placeholder, list_));
    // Two desktop files may give the same name; their identifiers tell them apart.
    QHash<QString, int> named;
    for (const ApplicationInfo& application : std::as_const(applications))
        ++named[application.name];
    for (const ApplicationInfo& application : applications) {
        const QString shown = named.value(application.name) > 1
            ? QStringLiteral("%1 (%2)").arg(application.name, application.id)
            : application.name;
        auto* item = new QStandardItem(shown);
        item->setData(application.desktopFilePath, pathRole);
        item->setData(application.iconName, iconNameRole);
        item->setToolTip(application.id);
        item->setEditable(false);
        applications_->appendRow(item);
    }
    told_ = shownState();

    auto* buttons = new QDialogButtonBox();
    layout->addWidget(buttons); // in the dialog before a default is chosen, or the dialog never learns it
    QPushButton* other = buttons->addButton(QCoreApplication::translate("Tavlin", "Other…"),
                                            QDialogButtonBox::ActionRole);
    other->setObjectName(QStringLiteral("application-chooser-other"));
    buttons->addButton(QCoreApplication::translate("Tavlin", "Cancel"), QDialogButtonBox::RejectRole);
    add_ = buttons->addButton(QCoreApplication::translate("Tavlin", "Add"), QDialogButtonBox::AcceptRole);
    add_->setObjectName(QStringLiteral("application-chooser-add"));
    add_->setDefault(true);

    connect(filter_, &QLineEdit::textChanged, this, &ApplicationChooser::applyFilter);
    connect(list_, &QAbstractItemView::doubleClicked, this, &ApplicationChooser::accept);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { add_->setEnabled(list_->currentIndex().isValid()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &ApplicationChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(other, &QPushButton::clicked, this, &ApplicationChooser::chooseOther);
    add_->setEnabled(false);
    connect(&sources, &SourceApplicationIcon::iconsArrived, list_->viewport(), qOverload<>(&QWidget::update));
}

// The current row stays while the filter shows it; otherwise the first row shown is current.
void ApplicationChooser::applyFilter()
{
    const QPersistentModelIndex current = shown_->mapToSource(list_->currentIndex());
    static_cast<ApplicationFilter*>(shown_)->setText(filter_->text().trimmed());
    const QModelIndex kept = shown_->mapFromSource(current);
    list_->setCurrentIndex(kept.isValid() ? kept : shown_->index(0, 0));
    tellShown();
}

// A screen reader hears what the filter shows as it changes, where Return would act: the current
// row among the rows shown, as the focus coming there from the filter says, or the empty list and
// that nothing matches. The keyboard stays in the filter, which leads the list.
void ApplicationChooser::tellShown()
{
    const QModelIndex current = list_->currentIndex();
    const QStringList shown = shownState();
    if (std::exchange(told_, shown) == shown || !QAccessible::isActive() || list_->hasFocus() || !isActiveWindow())
        return;
    QAccessibleEvent event(list_, QAccessible::Focus);
    if (current.isValid())
        event.setChild(current.row());
    QAccessible::updateAccessibility(&event);
    if (!current.isValid())
        announcer_->say(QCoreApplication::translate("Tavlin", "No applications found"));
}

QStringList ApplicationChooser::shownState() const
{
    QStringList state{QString::number(list_->currentIndex().row())};
    for (int row = 0; row < shown_->rowCount(); ++row)
        state.append(shown_->index(row, 0).data().toString());
    return state;
}

void ApplicationChooser::accept()
{
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid())
        return;
    const QUrl file = QUrl::fromLocalFile(current.data(pathRole).toString());
    QDialog::accept();
    Q_EMIT chosen(file);
}

void ApplicationChooser::chooseOther()
{
    auto* dialog = new QFileDialog(this, windowTitle(),
                                   QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation),
                                   QCoreApplication::translate("Tavlin", "Desktop entries (*.desktop)"));
    dialog->setObjectName(QStringLiteral("application-chooser-file"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setLabelText(QFileDialog::Accept, QCoreApplication::translate("Tavlin", "Add"));
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) {
        QDialog::accept();
        Q_EMIT chosen(QUrl::fromLocalFile(path));
    });
    dialog->open();
}

} // namespace tavlin
