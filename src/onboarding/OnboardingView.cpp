#include "OnboardingView.h"

#include "Announcer.h"
#include "AssistiveRoles.h"
#include "ButtonLook.h"
#include "GlobalShortcut.h"
#include "KeyboardFocus.h"
#include "OnboardingFinishScreen.h"
#include "OnboardingGhost.h"
#include "OnboardingLayout.h"
#include "OnboardingPersonalizeScreen.h"
#include "OnboardingProgress.h"
#include "OnboardingState.h"
#include "OnboardingText.h"
#include "OnboardingTransition.h"
#include "OnboardingWelcomeScreen.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

namespace tavlin {

namespace {

// Lays one screen over the whole stage.
class Stage : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent*) override
    {
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setGeometry(rect());
    }
};

// The scaled column, the scene's only item. Tab past its last control comes round to its first,
// and Shift+Tab the other way, as in a window: the scene would hand the focus back to the same
// item, and the keyboard would stay where it is.
class ColumnProxy : public QGraphicsProxyWidget {
public:
    using QGraphicsProxyWidget::QGraphicsProxyWidget;

protected:
    bool focusNextPrevChild(bool next) override
    {
        QWidget* column = widget();
        QWidget* from = column ? column->focusWidget() : nullptr;
        if (!from)
            return QGraphicsProxyWidget::focusNextPrevChild(next);
        for (QWidget* to = step(from, next); to != from; to = step(to, next)) {
            if (column->isAncestorOf(to) && (to->focusPolicy() & Qt::TabFocus) && to->isEnabled()
                && to->isVisibleTo(column)) {
                to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                break;
            }
        }
        return true;
    }

private:
    static QWidget* step(QWidget* widget, bool next)
    {
        return next ? widget->nextInFocusChain() : widget->previousInFocusChain();
    }
};

double scrollerWidth(const QWidget* widget)
{
    QStyle* style = widget->style();
    // Scroll bars that overlay the content take none of its width.
    if (style->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, widget))
        return 0;
    return style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

// `then` said after `text`, as its own sentence.
QString spokenAfter(const QString& text, const QString& then)
{
    const bool ended = !text.isEmpty() && text.back().isPunct();
    return text + (ended ? QStringLiteral(" ") : QStringLiteral(". ")) + then;
}

} // namespace

OnboardingView::OnboardingView(OnboardingState& state, GlobalShortcut& shortcut, SystemAppearance& appearance,
                               ShortcutRecorderFactory makeRecorder, QWidget* parent)
    : QWidget(parent), state_(state), shortcut_(shortcut), makeRecorder_(std::move(makeRecorder))
{
    auto* host = new QVBoxLayout(this);
    host->setContentsMargins(0, 0, 0, 0);
    theme_ = new ThemeAppearance(this, appearance, state.theme());

    column_ = new QWidget();
    column_->setObjectName(QStringLiteral("onboarding-column"));
    // While the column is drawn scaled it is a window of its own, and takes the theme too.
    auto* columnTheme = new ThemeAppearance(column_, appearance, state.theme());
    connect(&state, &OnboardingState::themeChanged, this, [this, columnTheme] {
        theme_->setPreference(state_.theme());
        columnTheme->setPreference(state_.theme());
    });
    auto* layout = new QVBoxLayout(column_);
    layout->setContentsMargins(0, 22, 0, 22);
    layout->setSpacing(0);

    auto* header = new QWidget();
    header->setFixedHeight(40);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(20, 0, 20, 0);
    progress_ = new OnboardingProgress();
    // The progress is the window's status line, from which each new step is heard by its heading
    // wherever the keyboard lands: most often on the same Continue as before, of which a reader
    // says nothing again, and Orca says nothing of the window's new name either.
    announcer_ = new Announcer(progress_);
    skip_ = ButtonLook::action({TavlinButtonStyle::Kind::quiet, 34}, QCoreApplication::translate("Onboarding", "Skip"));
    skip_->setObjectName(QStringLiteral("onboarding-skip"));
    skip_->setAccessibleDescription(
        QCoreApplication::translate("Onboarding", "Finish the introduction and start using Tavlin"));
    connect(skip_, &QAbstractButton::clicked, this, [this] { state_.complete(OnboardingState::Outcome::skipped); });
    // The progress stays centred whatever the width of Skip, also where Skip is hidden.
    QSizePolicy keepRoom = skip_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    skip_->setSizePolicy(keepRoom);
    headerLayout->addSpacing(skip_->sizeHint().width());
    headerLayout->addStretch(1);
    headerLayout->addWidget(progress_);
    headerLayout->addStretch(1);
    headerLayout->addWidget(skip_);
    layout->addWidget(header);

    stage_ = new Stage();
    auto* stageHost = new QHBoxLayout();
    stageHost->setContentsMargins(40, 0, 40, 0);
    stageHost->addWidget(stage_);
    layout->addLayout(stageHost, 1);
    transition_ = new OnboardingTransition(stage_);
    // The mascot comes on screen when the slide has brought its screen in.
    connect(transition_, &OnboardingTransition::finished, this, [this] {
        if (screen_) {
            for (OnboardingGhost* ghost : screen_->findChildren<OnboardingGhost*>())
                ghost->show();
        }
    });

    auto* footer = new QHBoxLayout();
    footer->setContentsMargins(28, 6, 28, 0);
    back_ = ButtonLook::action({TavlinButtonStyle::Kind::secondary, 34},
                               QCoreApplication::translate("Onboarding", "Back"));
    back_->setObjectName(QStringLiteral("onboarding-back"));
    connect(back_, &QAbstractButton::clicked, this, [this] { state_.back(); });
    footer->addWidget(back_);
    footer->addStretch(1);
    continue_ = ButtonLook::action({TavlinButtonStyle::Kind::primary, 34}, QString());
    continue_->setObjectName(QStringLiteral("onboarding-continue"));
    connect(continue_, &QAbstractButton::clicked, this, [this] { state_.advance(); });
    footer->addWidget(continue_);
    layout->addLayout(footer);

    auto* backKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+[")), this);
    connect(backKey, &QShortcut::activated, this, [this] { state_.back(); });
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* press = new QShortcut(QKeySequence(key), this);
        connect(press, &QShortcut::activated, this, &OnboardingView::pressFocusedButton);
    }
    connect(&state, &OnboardingState::stepChanged, this, &OnboardingView::showStep);
    showStep();
    fitColumn();
}

bool OnboardingView::isTransitioning() const
{
    return transition_->isRunning();
}

QString OnboardingView::heading() const
{
    const auto* title = screen_ ? screen_->findChild<QLabel*>(QString::fromLatin1(OnboardingText::titleName)) : nullptr;
    return title ? title->text() : QString();
}

// As on the desktop's dialogs: Return presses the button that has the keyboard, and Continue
// from a choice or the switch. While a recorder waits for keys, Return is a key like any other.
void OnboardingView::pressFocusedButton()
{
    if (shortcut_.recording())
        return;
    auto* button = qobject_cast<QPushButton*>(column_->focusWidget());
    if (!button || button->isCheckable() || !button->isEnabled() || !button->isVisibleTo(column_))
        button = continue_;
    button->click();
}

QWidget* OnboardingView::buildScreen()
{
    switch (state_.step()) {
    case OnboardingState::Step::welcome: return new OnboardingWelcomeScreen();
    case OnboardingState::Step::personalize: return new OnboardingPersonalizeScreen(state_);
    case OnboardingState::Step::quickPanel: return new OnboardingQuickPanelScreen(shortcut_, makeRecorder_);
    case OnboardingState::Step::finish: return new OnboardingFinishScreen(state_, shortcut_);
    }
    return new QWidget();
}

void OnboardingView::showStep()
{
    const OnboardingState::Step step = state_.step();
    const bool animate = screen_ && column_->isVisible() && !ThemeAppearance::reduceMotion(this);
    QPixmap from;
    // A change during a change starts from the picture as it stands.
    if (animate)
        from = transition_->isRunning() ? transition_->grab() : screen_->grab();

    // The new step is in place before anything of the old one goes, and the keyboard is on the
    // step's default button before then too: a focus left on a control that is then removed or
    // hidden would be lost, or wander through other controls, each told to a screen reader.
    QPointer<QWidget> old = screen_;
    screen_ = buildScreen();
    screen_->setObjectName(QStringLiteral("onboarding-screen"));
    screen_->setParent(stage_);
    screen_->setGeometry(stage_->rect());
    if (animate) {
        for (OnboardingGhost* ghost : screen_->findChildren<OnboardingGhost*>())
            ghost->hide();
    }
    screen_->show();
    orderTabs();

    // Get Started is the larger button of the last step.
    const bool last = step == OnboardingState::Step::finish;
    ButtonLook::change(continue_, [last](ButtonLook& look) { look.capsule.height = last ? 40 : 34; });
    const QString next = last ? QCoreApplication::translate("Onboarding", "Get Started")
                              : QCoreApplication::translate("Onboarding", "Continue");
    const bool renamed = continue_->text() != next;
    continue_->setText(next);
    // Asked before the keyboard is put on it: a reader already on it hears the new name only from
    // the announcer, one that comes to it hears it from the focus.
    const QString unheard = renamed ? AssistiveRoles::unheardName(continue_) : QString();
    continue_->updateGeometry();
    // Each step opens with the keyboard on its default button, so that Return goes on and a
    // screen reader is on a button that shows. Its ring shows where the one left showed its ring.
    QWidget* focused = column_->focusWidget();
    continue_->setFocus(focused && KeyboardFocus::showsRing(focused) ? Qt::TabFocusReason : Qt::OtherFocusReason);
    skip_->setVisible(step != OnboardingState::Step::finish);
    back_->setVisible(step != OnboardingState::Step::welcome);
    delete old;
    progress_->setStep(static_cast<int>(step));
    // Last, so that a reader says the heading after whatever the focus move made it say, and then
    // the new name of the button it stayed on, in one text: a second would take the first's place.
    Q_EMIT headingChanged(heading());
    announcer_->say(unheard.isEmpty() ? heading() : spokenAfter(heading(), unheard));

    if (!animate) {
        transition_->hide();
        return;
    }
    if (QLayout* screenLayout = screen_->layout())
        screenLayout->activate();
    // The live screen lies under the pictures until they settle: its controls already take the
    // keyboard, and the mascot waits to come on.
    transition_->run(from, screen_->grab(), state_.movingForward());
}

// Tab goes as the window reads: Skip, the screen's controls in their own order, Back, Continue.
// A new screen's controls otherwise join the chain wherever Qt puts a new child.
void OnboardingView::orderTabs()
{
    QList<QWidget*> order{skip_};
    for (QWidget* next = screen_->nextInFocusChain(); next != screen_; next = next->nextInFocusChain()) {
        if (screen_->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus))
            order.append(next);
    }
    order << back_ << continue_;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void OnboardingView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Moving the view or the column into another parent took the keyboard from the step's
    // default button; the window opens with it there.
    if (!column_->focusWidget())
        continue_->setFocus(Qt::OtherFocusReason);
}

void OnboardingView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitColumn();
}

void OnboardingView::fitColumn()
{
    const OnboardingLayout fitted = OnboardingLayout::fit(size(), scrollerWidth(this));
    column_->setFixedSize(OnboardingLayout::design.width(), int(std::ceil(fitted.contentHeight)));
    if (fitted.scale >= 1) {
        if (!scroll_) {
            if (graphics_) {
                if (QGraphicsProxyWidget* proxy = column_->graphicsProxyWidget())
                    proxy->setWidget(nullptr);
                delete graphics_->scene();
                delete graphics_;
                graphics_ = nullptr;
            }
            scroll_ = new QScrollArea(this);
            scroll_->setFrameShape(QFrame::NoFrame);
            // Tab goes through the screen's controls; the area itself shows no focus.
            scroll_->setFocusPolicy(Qt::NoFocus);
            scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            scroll_->viewport()->setAutoFillBackground(false);
            column_->setParent(nullptr);
            scroll_->setWidget(column_);
            layout()->addWidget(scroll_);
        }
        return;
    }
    if (!graphics_) {
        if (scroll_) {
            scroll_->takeWidget();
            delete scroll_;
            scroll_ = nullptr;
        }
        column_->setParent(nullptr);
        auto* scene = new QGraphicsScene(this);
        graphics_ = new QGraphicsView(scene, this);
        graphics_->setFrameShape(QFrame::NoFrame);
        graphics_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        graphics_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        graphics_->viewport()->setBackgroundRole(QPalette::Window);
        graphics_->setBackgroundRole(QPalette::Window);
        auto* proxy = new ColumnProxy();
        proxy->setWidget(column_);
        scene->addItem(proxy);
        layout()->addWidget(graphics_);
    }
    graphics_->setTransform(QTransform::fromScale(fitted.scale, fitted.scale));
    graphics_->scene()->setSceneRect(QRectF(QPointF(0, 0), QSizeF(column_->size())));
}

} // namespace tavlin
