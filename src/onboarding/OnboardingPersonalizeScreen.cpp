#include "OnboardingPersonalizeScreen.h"

#include "AssistiveRoles.h"
#include "OnboardingDemo.h"
#include "OnboardingSegmented.h"
#include "OnboardingState.h"
#include "OnboardingSurface.h"
#include "OnboardingText.h"
#include "SwitchToggle.h"
#include "SymbolTile.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ThemedLabel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavlin {

namespace {

// History view offers the list first.
constexpr HistoryViewMode viewModeOrder[] = {HistoryViewMode::list, HistoryViewMode::cards};

QWidget* row(const QString& title, const QString& symbol, QWidget* control)
{
    auto* line = new QWidget();
    line->setFixedHeight(40);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(14, 0, 14, 0);
    layout->setSpacing(12);
    layout->addWidget(new SymbolTile(symbol, 15, {20, 20}, TavlinTheme::brandAccent));
    auto* label = new ThemedLabel(title, SystemFont::regular(13, QFont::Medium), TavlinTheme::primaryText);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    layout->addWidget(label);
    layout->addStretch(1);
    layout->addWidget(control);
    return line;
}

// The hairline between two rows, from under the titles to where the controls end.
class Separator : public QWidget {
public:
    Separator()
    {
        setFixedHeight(1);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        AssistiveRoles::markDecorative(this);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(QRectF(46, 0, width() - 60, 0.5), TavlinTheme::border.resolve(ThemeAppearance::of(this)));
    }
};

} // namespace

OnboardingPersonalizeScreen::OnboardingPersonalizeScreen(OnboardingState& state, QWidget* parent)
    : QWidget(parent), state_(state)
{
    QStringList themes;
    for (const ThemePreference theme : allThemePreferences)
        themes.append(title(theme));
    QStringList modes;
    for (const HistoryViewMode mode : viewModeOrder)
        modes.append(title(mode));
    const QString appearanceTitle = QCoreApplication::translate("Onboarding", "Appearance");
    const QString viewTitle = QCoreApplication::translate("Onboarding", "History view");
    const QString previewTitle = QCoreApplication::translate("Onboarding", "Show preview");
    appearance_ = new OnboardingSegmented(appearanceTitle, themes);
    viewMode_ = new OnboardingSegmented(viewTitle, modes);
    preview_ = new SwitchToggle(previewTitle);
    demo_ = new OnboardingDemo(state.viewMode(), state.showPreview());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(OnboardingText::title(QCoreApplication::translate("Onboarding", "Make Tavlin yours")));
    layout->addSpacing(6);
    layout->addWidget(OnboardingText::subtitle(QCoreApplication::translate(
                          "Onboarding", "Choose a look. You can always change it in Settings.")),
                      0, Qt::AlignHCenter);
    layout->addSpacing(16);
    auto* card = new OnboardingSurface(16);
    auto* rows = new QVBoxLayout(card);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addWidget(row(appearanceTitle, QStringLiteral("circle.lefthalf.filled"), appearance_));
    rows->addWidget(new Separator());
    rows->addWidget(row(viewTitle, QStringLiteral("square.grid.2x2"), viewMode_));
    rows->addWidget(new Separator());
    rows->addWidget(row(previewTitle, QStringLiteral("sidebar.right"), preview_));
    layout->addWidget(card);
    layout->addSpacing(14);
    layout->addWidget(demo_);
    layout->addStretch(1);

    connect(appearance_, &OnboardingSegmented::activated, this,
            [this](int index) { state_.setTheme(allThemePreferences[index]); });
    connect(viewMode_, &OnboardingSegmented::activated, this,
            [this](int index) { state_.setViewMode(viewModeOrder[index]); });
    connect(preview_, &SwitchToggle::toggleRequested, this, [this](bool on) { state_.setShowPreview(on); });
    for (auto signal :
         {&OnboardingState::themeChanged, &OnboardingState::viewModeChanged, &OnboardingState::showPreviewChanged})
        connect(&state, signal, this, &OnboardingPersonalizeScreen::showState);
    showState();
}

void OnboardingPersonalizeScreen::showState()
{
    const auto index = [](const auto& values, auto value) {
        for (int i = 0; i < int(std::size(values)); ++i) {
            if (values[i] == value)
                return i;
        }
        return -1;
    };
    appearance_->setSelectedIndex(index(allThemePreferences, state_.theme()));
    viewMode_->setSelectedIndex(index(viewModeOrder, state_.viewMode()));
    preview_->setChecked(state_.showPreview());
    demo_->setViewMode(state_.viewMode());
    demo_->setShowPreview(state_.showPreview());
}

} // namespace tavlin
