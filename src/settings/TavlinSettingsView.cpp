#include "TavlinSettingsView.h"

#include "GeneralSettingsPane.h"
#include "HistoryModel.h"
#include "InterfaceSettingsPane.h"
#include "PrivacySettingsPane.h"
#include "SettingsAccessibility.h"
#include "SettingsNavigation.h"
#include "SettingsSidebar.h"
#include "ShortcutSettingsView.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ViewPreferences.h"
#include "WindowTheme.h"

#include <QHBoxLayout>
#include <QPainter>

namespace tavlin {

namespace {

class Divider : public QWidget {
public:
    Divider()
    {
        setFixedWidth(1);
        SettingsAccessibility::markDecorative(this);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QColor color = TavlinTheme::border.resolve(ThemeAppearance::of(this));
        color.setAlphaF(color.alphaF() * 0.5f * float(devicePixelRatioF())); // half a pixel wide
        painter.fillRect(rect(), color);
    }
};

} // namespace

TavlinSettingsView::TavlinSettingsView(Inputs inputs, QWidget* parent) : QWidget(parent), inputs_(std::move(inputs))
{
    setObjectName(QStringLiteral("settings-root"));
    if (inputs_.appearance)
        WindowTheme::apply(this, *inputs_.appearance, inputs_.preferences);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!inputs_.shortcut && !inputs_.services) {
        // Nothing but the interface choices: that pane alone, without a sidebar.
        pane_ = new InterfaceSettingsPane(inputs_.preferences, nullptr, inputs_.replayOnboarding, false);
        pane_->setFixedSize(500, 360);
        layout->addWidget(pane_, 0, Qt::AlignTop | Qt::AlignLeft);
        return;
    }
    layout->addWidget(new SettingsSidebar(inputs_.navigation, availableSections()));
    layout->addWidget(new Divider());
    detail_ = new QWidget();
    detail_->setObjectName(QStringLiteral("settings-detail"));
    new QVBoxLayout(detail_);
    detail_->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(detail_, 1);
    connect(&inputs_.navigation, &SettingsNavigation::sectionChanged, this, &TavlinSettingsView::showSection);
    showSection();
}

QList<SettingsSection> TavlinSettingsView::availableSections() const
{
    QList<SettingsSection> sections;
    if (inputs_.services)
        sections.append(SettingsSection::general);
    sections.append(SettingsSection::interface);
    if (inputs_.shortcut)
        sections.append(SettingsSection::quickPanel);
    if (inputs_.services)
        sections.append(SettingsSection::privacy);
    return sections;
}

void TavlinSettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (detail_ && !availableSections().contains(inputs_.navigation.section()))
        inputs_.navigation.setSection(SettingsSection::interface);
}

void TavlinSettingsView::showSection()
{
    const SettingsSection section = inputs_.navigation.section();
    detail_->setAccessibleName(title(section));
    if (pane_) {
        // Gone for good: its disappearing ends whatever it had running (a recording, a question).
        pane_->hide();
        delete pane_;
    }
    pane_ = makePane(section);
    if (pane_)
        detail_->layout()->addWidget(pane_);
}

QWidget* TavlinSettingsView::makePane(SettingsSection section)
{
    if (!availableSections().contains(section))
        return nullptr;
    switch (section) {
    case SettingsSection::general:
        return new GeneralSettingsPane(inputs_.services->launchAtLogin, inputs_.services->updates);
    case SettingsSection::interface:
        return new InterfaceSettingsPane(inputs_.preferences, inputs_.language, inputs_.replayOnboarding, true);
    case SettingsSection::quickPanel: return new ShortcutSettingsView(*inputs_.shortcut);
    case SettingsSection::privacy:
        return new PrivacySettingsPane(inputs_.services->model.browser(), inputs_.services->exclusions,
                                       inputs_.services->retention, inputs_.services->sources);
    }
    return nullptr;
}

} // namespace tavlin
