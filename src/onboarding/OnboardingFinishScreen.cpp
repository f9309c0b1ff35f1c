#include "OnboardingFinishScreen.h"

#include "GlobalShortcut.h"
#include "OnboardingGhost.h"
#include "OnboardingState.h"
#include "OnboardingSurface.h"
#include "OnboardingText.h"
#include "SymbolTile.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemedLabel.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavlin {

namespace {

QWidget* tile(const QString& title, const QString& symbol, const QString& value)
{
    auto* card = new OnboardingSurface(14);
    card->setFixedHeight(52);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(14, 0, 14, 0);
    row->setSpacing(10);
    row->addWidget(new SymbolTile(symbol, 14, {18, 18}, TavlinTheme::brandAccent));
    auto* texts = new QVBoxLayout();
    texts->setSpacing(2);
    texts->addStretch(1);
    texts->addWidget(new ThemedLabel(title, SystemFont::regular(11), TavlinTheme::secondaryText));
    auto* shown = new ThemedLabel(value, SystemFont::regular(13, QFont::DemiBold), TavlinTheme::primaryText);
    shown->setObjectName(QStringLiteral("onboarding-summary-value"));
    texts->addWidget(shown);
    texts->addStretch(1);
    row->addLayout(texts, 1);
    card->setAccessibleName(title + QStringLiteral(": ") + value);
    return card;
}

} // namespace

OnboardingFinishScreen::OnboardingFinishScreen(const OnboardingState& state, const GlobalShortcut& shortcut,
                                               QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    layout->addWidget(new OnboardingGhost(100, OnboardingGhost::Motion::celebrate), 0, Qt::AlignHCenter);
    layout->addSpacing(14);
    layout->addWidget(OnboardingText::title(QCoreApplication::translate("Onboarding", "All set!")));
    layout->addSpacing(8);
    layout->addWidget(
        OnboardingText::subtitle(QCoreApplication::translate(
            "Onboarding",
            "Tavlin is ready to help you every day. It lives in the tray, and your history is always close by.")),
        0, Qt::AlignHCenter);
    layout->addSpacing(22);

    auto* grid = new QWidget();
    grid->setFixedWidth(480);
    auto* tiles = new QGridLayout(grid);
    tiles->setContentsMargins(0, 0, 0, 0);
    tiles->setSpacing(10);
    const QString preview = state.showPreview() ? QCoreApplication::translate("Onboarding", "On")
                                                : QCoreApplication::translate("Onboarding", "Off");
    tiles->addWidget(tile(QCoreApplication::translate("Onboarding", "Theme"), QStringLiteral("circle.lefthalf.filled"),
                          title(state.theme())),
                     0, 0);
    tiles->addWidget(tile(QCoreApplication::translate("Onboarding", "History view"), QStringLiteral("square.grid.2x2"),
                          title(state.viewMode())),
                     0, 1);
    tiles->addWidget(
        tile(QCoreApplication::translate("Onboarding", "Preview"), QStringLiteral("sidebar.right"), preview), 1, 0);
    // A shortcut another program holds opens nothing: the summary must not promise that it does.
    const QString keys = shortcut.backend().displayText(shortcut.binding());
    const QString quickPanel = shortcut.isRegistered()
        ? keys
        : QCoreApplication::translate("Onboarding", "%1 (not available)").arg(keys);
    // This tile's title stays "Quick Panel" in every language, as a name; the tray menu and
    // Settings translate it ("Быстрая панель" in Russian).
    tiles->addWidget(tile(QStringLiteral("Quick Panel"), QStringLiteral("keyboard"), quickPanel), 1, 1);
    tiles->setColumnStretch(0, 1);
    tiles->setColumnStretch(1, 1);
    layout->addWidget(grid, 0, Qt::AlignHCenter);
    layout->addStretch(1);
}

} // namespace tavlin
