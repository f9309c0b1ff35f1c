#include "HistorySidebar.h"

#include "AssistiveRoles.h"
#include "ButtonLook.h"
#include "GhostView.h"
#include "HistoryControls.h"
#include "HistoryModel.h"
#include "TavlinBrandAssets.h"
#include "TavlinLanguage.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavlin {

namespace {

// The wordmark in its own colours, fitted into 100 by 32.
class Wordmark : public QWidget {
public:
    Wordmark() { setFixedSize(100, 32); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (drawn_.isNull() || drawn_.devicePixelRatio() != devicePixelRatioF())
            drawn_ = TavlinBrandAssets::drawn(TavlinBrandAssets::wordmark(), size(), devicePixelRatioF());
        QPainter(this).drawPixmap(0, 0, drawn_);
    }

private:
    QPixmap drawn_;
};

} // namespace

HistorySidebar::HistorySidebar(HistoryBrowser& browser, QWidget* parent) : QWidget(parent), browser_(browser)
{
    setObjectName(QStringLiteral("history-sidebar"));
    setFixedWidth(width);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 16, 12, 16);
    layout->setSpacing(0);
    auto* brand = new QHBoxLayout;
    brand->setSpacing(9);
    brand->addWidget(new GhostView(38));
    auto* wordmark = new Wordmark;
    wordmark->setAccessibleName(tr("Tavlin"));
    brand->addWidget(wordmark);
    brand->addStretch(1);
    layout->addLayout(brand);
    layout->addSpacing(20);
    // One section is chosen at a time; a click on the chosen one leaves it chosen.
    auto* sectionGroup = new QButtonGroup(this);
    for (HistorySection section : allHistorySections) {
        ButtonLook look = ButtonLook::withKind(ButtonLook::Kind::sidebarRow);
        look.symbol = sectionSymbol(section);
        auto* row = ButtonLook::push(look, title(section));
        row->setCheckable(true);
        AssistiveRoles::markChoice(row);
        sectionGroup->addButton(row);
        row->setObjectName(QStringLiteral("history-section-") + toRaw(section));
        connect(row, &QAbstractButton::clicked, this, [this, section] { browser_.setSection(section); });
        sectionRows_.append(row);
        layout->addWidget(row);
        layout->addSpacing(4);
    }
    layout->addStretch(1);
    ButtonLook settingsLook = ButtonLook::withKind(ButtonLook::Kind::sidebarAction);
    settingsLook.symbol = QStringLiteral("gearshape");
    settings_ = ButtonLook::push(settingsLook, tr("Settings"));
    settings_->setObjectName(QStringLiteral("history-settings"));
    connect(settings_, &QAbstractButton::clicked, this, &HistorySidebar::settingsRequested);
    layout->addWidget(settings_);

    connect(&browser_, &HistoryBrowser::sectionChanged, this, &HistorySidebar::refreshSection);
    connect(&browser_, &HistoryBrowser::totalCountChanged, this, &HistorySidebar::refreshCounts);
    connect(&browser_, &HistoryBrowser::favoriteCountChanged, this, &HistorySidebar::refreshCounts);
    refreshSection();
    refreshCounts();
}

QList<QWidget*> HistorySidebar::focusOrder() const
{
    QList<QWidget*> order(sectionRows_.begin(), sectionRows_.end());
    order.append(settings_);
    return order;
}

void HistorySidebar::refreshSection()
{
    for (int i = 0; i < sectionRows_.size(); ++i)
        sectionRows_[i]->setChecked(allHistorySections[i] == browser_.section());
}

void HistorySidebar::refreshCounts()
{
    ButtonLook::setDetail(sectionRows_[0], localizedCount(browser_.totalCount()));
    ButtonLook::setDetail(sectionRows_[1], localizedCount(browser_.favoriteCount()));
}

void HistorySidebar::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), TavlinTheme::sidebarBackground.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
