#include "MessageBoxUpdateDriver.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tavlin {

MessageBoxUpdateDriver::MessageBoxUpdateDriver(OpenURL openURL) : openURL_(std::move(openURL))
{
}

MessageBoxUpdateDriver::~MessageBoxUpdateDriver()
{
    if (box_)
        box_->deleteLater();
}

void MessageBoxUpdateDriver::show(const UpdateCheckResult& result)
{
    if (box_)
        box_->close();

    auto* box = new QMessageBox();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setWindowTitle(QStringLiteral("Tavlin"));
    box->setInformativeText(result.message);
    switch (result.state) {
    case UpdateCheckResult::State::upToDate:
        box->setIcon(QMessageBox::Information);
        box->setText(QCoreApplication::translate("Tavlin", "You’re up to date."));
        break;
    case UpdateCheckResult::State::updateAvailable:
        box->setIcon(QMessageBox::Information);
        box->setText(QCoreApplication::translate("Tavlin", "A new version of Tavlin is available."));
        break;
    case UpdateCheckResult::State::failed:
        box->setIcon(QMessageBox::Warning);
        box->setText(QCoreApplication::translate("Tavlin", "Tavlin couldn’t check for updates."));
        break;
    }
    box->setDefaultButton(box->addButton(QCoreApplication::translate("Tavlin", "Close"), QMessageBox::RejectRole));
    if (result.state == UpdateCheckResult::State::updateAvailable) {
        QPushButton* open = box->addButton(QCoreApplication::translate("Tavlin", "Open Download Page"),
                                           QMessageBox::AcceptRole);
        QObject::connect(open, &QPushButton::clicked, box, [openURL = openURL_, page = result.downloadPage] {
            if (openURL)
                openURL(page);
        });
        box->setDefaultButton(open);
    }
    box_ = box;
    box->show();
    box->raise();
    box->activateWindow();
}

} // namespace tavlin
