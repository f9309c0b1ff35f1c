#include "ApplicationChooser.h"

#include "SourceApplicationIcon.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHash>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

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
    list_ = new QListWidget();
    list_->setObjectName(QStringLiteral("application-chooser-list"));
    list_->setAccessibleName(QCoreApplication::translate("Tavlin", "Installed applications"));
    list_->setIconSize(QSize(24, 24));
    list_->setFont(body);
    list_->setUniformItemSizes(true); // one line each: thousands are laid out without measuring them
    layout->addWidget(list_, 1);

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
        auto* item = new QListWidgetItem(shown, list_);
        item->setData(pathRole, application.desktopFilePath);
        item->setData(iconNameRole, application.iconName);
        item->setToolTip(application.id);
    }

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
    connect(list_, &QListWidget::itemDoubleClicked, this, &ApplicationChooser::accept);
    connect(list_, &QListWidget::currentItemChanged, this,
            [this] { add_->setEnabled(list_->currentItem() != nullptr); });
    connect(buttons, &QDialogButtonBox::accepted, this, &ApplicationChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(other, &QPushButton::clicked, this, &ApplicationChooser::chooseOther);
    add_->setEnabled(false);
    connect(&sources, &SourceApplicationIcon::iconsArrived, list_->viewport(), qOverload<>(&QWidget::update));
}

void ApplicationChooser::applyFilter()
{
    const QString text = filter_->text().trimmed();
    QListWidgetItem* firstShown = nullptr;
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        const bool shown = item->text().contains(text, Qt::CaseInsensitive)
            || item->toolTip().contains(text, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !firstShown)
            firstShown = item;
    }
    if (!list_->currentItem() || list_->currentItem()->isHidden())
        list_->setCurrentItem(firstShown);
}

void ApplicationChooser::accept()
{
    QListWidgetItem* item = list_->currentItem();
    if (!item || item->isHidden())
        return;
    const QUrl file = QUrl::fromLocalFile(item->data(pathRole).toString());
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
