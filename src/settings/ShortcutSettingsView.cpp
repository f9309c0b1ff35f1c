#include "ShortcutSettingsView.h"

#include "ButtonLook.h"
#include "GlobalShortcut.h"
#include "SettingsCaption.h"
#include "SettingsGroup.h"
#include "SettingsRow.h"
#include "ShortcutRecorder.h"

#include <QCoreApplication>
#include <QHBoxLayout>

namespace tavlin {

ShortcutSettingsView::ShortcutSettingsView(GlobalShortcut& shortcut, QWidget* parent)
    : SettingsPane(QCoreApplication::translate("Tavlin", "Quick Panel"), QStringLiteral("keyboard"), true, parent),
      shortcut_(shortcut)
{
    QVBoxLayout* stack = addStack();
    recorder_ = new ShortcutRecorder(&shortcut_);
    recorder_->setFixedSize(180, 32);
    auto* group = new SettingsGroup(QCoreApplication::translate("Tavlin", "Open a compact history from any app."));
    group->add(new SettingsRow(QCoreApplication::translate("Tavlin", "Keyboard shortcut"), QStringLiteral("command"),
                               recorder_));
    stack->addWidget(group);

    auto* hintRow = new QWidget();
    auto* hintLayout = new QHBoxLayout(hintRow);
    hintLayout->setContentsMargins(0, 0, 0, 0);
    hint_ = new SettingsCaption({});
    hintLayout->addWidget(hint_, 1);
    auto* reset = ButtonLook::action({TavlinButtonStyle::Kind::secondary, 30},
                                     QCoreApplication::translate("Tavlin", "Reset"));
    reset->setObjectName(QStringLiteral("shortcut-reset"));
    connect(reset, &QAbstractButton::clicked, this, [this] { shortcut_.replace(ShortcutBinding::defaultBinding()); });
    hintLayout->addWidget(reset);
    reset_ = reset;
    stack->addWidget(hintRow);
    error_ = new SettingsCaption({}, TavlinTheme::systemRed, QStringLiteral("shortcut-error"));
    stack->addWidget(error_);

    connect(&shortcut_, &GlobalShortcut::recordingChanged, this, &ShortcutSettingsView::sync);
    connect(&shortcut_, &GlobalShortcut::errorMessageChanged, this, &ShortcutSettingsView::sync);
    connect(this, &SettingsPane::disappeared, this, [this] { shortcut_.finishRecording(std::nullopt); });
    sync();
}

void ShortcutSettingsView::sync()
{
    hint_->setText(shortcut_.recording() ? QCoreApplication::translate("Tavlin", "Press a shortcut. Esc cancels.")
                                         : QCoreApplication::translate("Tavlin", "Click the shortcut to change it."));
    reset_->setEnabled(!shortcut_.recording());
    error_->setText(shortcut_.errorMessage().value_or(QString()));
    error_->setVisible(shortcut_.errorMessage().has_value());
}

} // namespace tavlin
