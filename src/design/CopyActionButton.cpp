#include "CopyActionButton.h"

#include "ButtonLook.h"

#include <QCoreApplication>

namespace tavlin {

CopyActionButton::CopyActionButton(bool copied, std::function<void()> action, QWidget* parent)
    : QPushButton(parent), copied_(copied), action_(std::move(action))
{
    setObjectName(QStringLiteral("copy-clip"));
    ButtonLook::apply(this, ButtonLook::withKind(ButtonLook::Kind::copy));
    setFixedSize(112, 32);
    setCopied(copied);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (action_)
            action_();
    });
}

void CopyActionButton::setCopied(bool copied)
{
    copied_ = copied;
    setText(copied ? QCoreApplication::translate("Tavlin", "Copied") : QCoreApplication::translate("Tavlin", "Copy"));
    ButtonLook::change(this, [copied](ButtonLook& look) {
        look.symbol = copied ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc");
    });
    // Setting the text replaces the shortcut with the text's mnemonic.
    setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
}

} // namespace tavlin
