#include "OnboardingQuickPanelScreen.h"

#include "ButtonLook.h"
#include "GlobalShortcut.h"
#include "KeyboardFocus.h"
#include "OnboardingKeyCaps.h"
#include "OnboardingLayout.h"
#include "OnboardingQuickPanelDemo.h"
#include "OnboardingSurface.h"
#include "OnboardingText.h"
#include "RoundedShape.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ThemedLabel.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavlin {

namespace {

constexpr int ringOutset = 3;

// The capsule the branded recorder sits in: its fill, the keyboard-focus ring and the recording
// ring, never both rings at once.
class RecorderFrame : public QWidget {
public:
    RecorderFrame(QWidget* recorder, const GlobalShortcut& shortcut, const bool& focused)
        : shortcut_(shortcut), focused_(focused)
    {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(ringOutset, ringOutset, ringOutset, ringOutset);
        recorder->setFixedSize(160, 32);
        layout->addWidget(recorder);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const Appearance appearance = ThemeAppearance::of(this);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF capsule = QRectF(rect()).adjusted(ringOutset, ringOutset, -ringOutset, -ringOutset);
        const bool recording = shortcut_.recording();
        RoundedShape::fill(painter, capsule, RoundedShape::capsuleRadius(capsule),
                           (recording ? TavlinTheme::controlSelection : TavlinTheme::controlFill).resolve(appearance));
        const QColor accent = TavlinTheme::brandAccent.resolve(appearance);
        if (recording)
            RoundedShape::strokeInside(painter, capsule, RoundedShape::capsuleRadius(capsule), accent, 1.5);
        else if (focused_)
            RoundedShape::strokeInside(painter, QRectF(rect()), RoundedShape::capsuleRadius(QRectF(rect())), accent, 2);
    }

private:
    const GlobalShortcut& shortcut_;
    const bool& focused_;
};

QStringList keyCaps(const GlobalShortcut& shortcut)
{
    QStringList caps = shortcut.binding().modifierSymbols();
    caps.append(shortcut.backend().keyTitle(shortcut.binding()));
    return caps;
}

} // namespace

OnboardingQuickPanelScreen::OnboardingQuickPanelScreen(GlobalShortcut& shortcut,
                                                       const ShortcutRecorderFactory& makeRecorder, QWidget* parent)
    : QWidget(parent), shortcut_(shortcut)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(OnboardingText::title(QCoreApplication::translate("Onboarding", "History in one keystroke")));
    layout->addSpacing(6);
    layout->addWidget(
        OnboardingText::subtitle(QCoreApplication::translate(
            "Onboarding",
            "Open the compact Quick Panel from any app, find the record you need and copy it in a flash.")),
        0, Qt::AlignHCenter);
    layout->addSpacing(20);

    // The shortcut card.
    auto* cards = new QHBoxLayout();
    cards->setSpacing(16);
    auto* shortcutCard = new OnboardingSurface(18);
    auto* column = new QVBoxLayout(shortcutCard);
    column->setContentsMargins(16, 16, 16, 6);
    column->setSpacing(14);
    caps_ = new OnboardingKeyCaps(keyCaps(shortcut), true);
    column->addWidget(caps_, 0, Qt::AlignHCenter);
    auto* controls = new QHBoxLayout();
    controls->setSpacing(6);
    controls->addStretch(1);
    if (makeRecorder) {
        const QString idle = QCoreApplication::translate("Onboarding", "Change Shortcut");
        recorder_ = makeRecorder(shortcut, idle, [this](bool focused) {
            recorderFocused_ = focused;
            if (recorderFrame_)
                recorderFrame_->update();
        });
        recorderFrame_ = new RecorderFrame(recorder_, shortcut, recorderFocused_);
        controls->addWidget(recorderFrame_);
    }
    reset_ = ButtonLook::action({TavlinButtonStyle::Kind::quiet, 34},
                                QCoreApplication::translate("Onboarding", "Reset"));
    reset_->setObjectName(QStringLiteral("shortcut-reset"));
    connect(reset_, &QAbstractButton::clicked, this, [this] { shortcut_.replace(ShortcutBinding::defaultBinding()); });
    controls->addWidget(reset_);
    controls->addStretch(1);
    column->addLayout(controls);
    status_ = new ThemedLabel(QString(), SystemFont::regular(11), TavlinTheme::secondaryText);
    status_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    status_->setWordWrap(true);
    status_->setMinimumHeight(28);
    column->addWidget(status_);
    cards->addWidget(shortcutCard, 1);

    // The panel's keys.
    auto* hintsCard = new OnboardingSurface(18);
    // 250 wide, wider where a translation needs it.
    hintsCard->setMinimumWidth(250);
    hintsCard->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    auto* hints = new QGridLayout(hintsCard);
    hints->setContentsMargins(16, 16, 16, 16);
    hints->setHorizontalSpacing(12);
    hints->setVerticalSpacing(10);
    // Keys drawn as symbols are named, so that each hint is heard with its key.
    const auto keys = [](const QStringList& caps, const QString& name) {
        auto* keyCaps = new OnboardingKeyCaps(caps, false);
        keyCaps->setAccessibleName(name);
        return keyCaps;
    };
    const auto hint = [&](int row, QWidget* content, const QString& text) {
        hints->addWidget(content, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        hints->addWidget(new ThemedLabel(text, SystemFont::regular(12), TavlinTheme::secondaryText), row, 1,
                         Qt::AlignLeft | Qt::AlignVCenter);
    };
    hint_ = new ThemedLabel(QString(), SystemFont::regular(11, QFont::DemiBold), TavlinTheme::primaryText);
    hint_->setFixedWidth(82);
    hint(0, hint_, QCoreApplication::translate("Onboarding", "open Quick Panel"));
    hint(1,
         keys({QStringLiteral("↑"), QStringLiteral("↓")},
              QCoreApplication::translate("Onboarding", "Up Arrow, Down Arrow")),
         QCoreApplication::translate("Onboarding", "switch records"));
    hint(2, keys({QStringLiteral("Enter")}, QCoreApplication::translate("Onboarding", "Enter")),
         QCoreApplication::translate("Onboarding", "copy"));
    hint(3,
         new ThemedLabel(QCoreApplication::translate("Onboarding", "Double-click"),
                         SystemFont::regular(11, QFont::DemiBold), TavlinTheme::primaryText),
         QCoreApplication::translate("Onboarding", "copy"));
    hint(4, keys({QStringLiteral("Esc")}, QCoreApplication::translate("Onboarding", "Escape")),
         QCoreApplication::translate("Onboarding", "close"));
    hints->setColumnStretch(1, 1);
    cards->addWidget(hintsCard);
    // Where a translation leaves the recorder and Reset too little room side by side, the
    // recorder gives up some of its width.
    const int room = OnboardingLayout::design.width() - 2 * 40 - cards->spacing() - hintsCard->sizeHint().width()
        - 2 * 16;
    if (recorderFrame_) {
        const int needed = reset_->sizeHint().width() + controls->spacing() + recorderFrame_->sizeHint().width();
        if (needed > room)
            recorder_->setFixedWidth(std::max(100, recorder_->width() - (needed - room)));
    }
    layout->addLayout(cards);
    layout->addSpacing(14);
    layout->addWidget(new OnboardingQuickPanelDemo(), 0, Qt::AlignHCenter);
    layout->addStretch(1);

    for (auto signal :
         {&GlobalShortcut::bindingChanged, &GlobalShortcut::recordingChanged, &GlobalShortcut::errorMessageChanged})
        connect(&shortcut, signal, this, &OnboardingQuickPanelScreen::showState);
    showState();
}

// A recorder still recording ends its recording as it goes, after this screen's own members:
// the screen no longer follows the shortcut by then.
OnboardingQuickPanelScreen::~OnboardingQuickPanelScreen()
{
    disconnect(&shortcut_, nullptr, this, nullptr);
}

void OnboardingQuickPanelScreen::showState()
{
    const QString display = shortcut_.backend().displayText(shortcut_.binding());
    caps_->setCaps(keyCaps(shortcut_));
    caps_->setAccessibleName(QCoreApplication::translate("Onboarding", "Quick Panel shortcut: %1").arg(display));
    // A long combination shrinks, down to half its size, to stay on its one line.
    QFont font = SystemFont::regular(11, QFont::DemiBold);
    const int needed = QFontMetrics(font).horizontalAdvance(display);
    if (needed > hint_->width() && needed > 0)
        font.setPixelSize(std::max(6, font.pixelSize() * hint_->width() / needed));
    hint_->setFont(font);
    hint_->setText(display);
    hint_->setToolTip(display);
    const bool recording = shortcut_.recording();
    const bool resettable = !recording && shortcut_.binding() != ShortcutBinding::defaultBinding();
    // Reset pressed from the keyboard greys itself out, and the keyboard would go on to whatever
    // comes next, Back: it goes to the recorder instead, where the user can go on, and a screen
    // reader hears it arrive there with the shortcut now in force (after its name).
    if (!resettable && reset_->hasFocus() && recorder_)
        recorder_->setFocus(KeyboardFocus::showsRing(reset_) ? Qt::TabFocusReason : Qt::OtherFocusReason);
    reset_->setEnabled(resettable);
    if (recording) {
        status_->setObjectName(QStringLiteral("onboarding-status"));
        status_->setColor(TavlinTheme::secondaryText);
        status_->setText(QCoreApplication::translate("Onboarding", "Press a new shortcut. Esc cancels."));
    } else if (const std::optional<QString>& error = shortcut_.errorMessage()) {
        status_->setObjectName(QStringLiteral("shortcut-error"));
        status_->setColor(TavlinTheme::systemRed);
        status_->setText(*error);
    } else {
        status_->setObjectName(QStringLiteral("onboarding-status"));
        status_->setColor(TavlinTheme::secondaryText);
        status_->setText(QCoreApplication::translate("Onboarding", "Works without extra permissions."));
    }
    if (recorderFrame_)
        recorderFrame_->update();
}

} // namespace tavlin
