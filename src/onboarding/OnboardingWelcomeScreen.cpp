#include "OnboardingWelcomeScreen.h"

#include "OnboardingGhost.h"
#include "OnboardingSurface.h"
#include "OnboardingText.h"
#include "SymbolTile.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemedLabel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavlin {

OnboardingWelcomeScreen::OnboardingWelcomeScreen(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(0);
    layout->addStretch(1);
    layout->addWidget(new OnboardingGhost(128, OnboardingGhost::Motion::floating), 0, Qt::AlignHCenter);
    layout->addSpacing(18);
    layout->addWidget(OnboardingText::title(QCoreApplication::translate("Onboarding", "Hi! I’m Tavlin 👋")));
    layout->addSpacing(10);
    layout->addWidget(
        OnboardingText::subtitle(QCoreApplication::translate("Onboarding",
                                                             "I’ll help you keep the text, links, images and code you "
                                                             "copy. It will all be at hand whenever you need it.")),
        0, Qt::AlignHCenter);
    layout->addSpacing(20);
    layout->addStretch(1);

    auto* card = new OnboardingSurface(16);
    card->setFixedWidth(500);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(14);
    auto* badge = new SymbolTile(QStringLiteral("checkmark.shield"), 20, {36, 36}, TavlinTheme::brandAccent);
    badge->setTile(TavlinTheme::selectedBackground, 10);
    row->addWidget(badge, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout();
    texts->setSpacing(3);
    const QString heading = QCoreApplication::translate("Onboarding", "Your history stays on your computer");
    const QString detail = QCoreApplication::translate(
        "Onboarding", "Tavlin keeps your clipboard history right on your computer. No sign-up and no cloud sync.");
    texts->addWidget(new ThemedLabel(heading, SystemFont::regular(13, QFont::DemiBold), TavlinTheme::primaryText));
    auto* text = new ThemedLabel(detail, SystemFont::regular(12), TavlinTheme::secondaryText);
    text->setWordWrap(true);
    texts->addWidget(text);
    row->addLayout(texts, 1);
    card->setAccessibleName(heading + QStringLiteral(". ") + detail);
    layout->addWidget(card, 0, Qt::AlignHCenter);
}

} // namespace tavlin
