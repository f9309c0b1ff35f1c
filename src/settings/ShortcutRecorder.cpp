#include "ShortcutRecorder.h"

#include "AccessibleValueWidget.h"
#include "GlobalShortcut.h"
#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tavlin {

namespace {

// X11 sends presses of the modifier keys themselves; a combination needs another key.
bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case 0:
    case Qt::Key_unknown: return true;
    default: return false;
    }
}

constexpr quint32 escapeKeyCode = 53;

QString recordingText()
{
    return QCoreApplication::translate("Tavlin", "Press a shortcut…");
}

// What the recorder has just come to say, "Press a shortcut…" or a shortcut, for a screen reader to
// hear as it happens: a reader speaks what the focus comes to, whereas Qt 6.4 tells of a new name
// or description without its text, which Orca then leaves unsaid, and of a value only when it is a
// number. The recorder's one child, named by the recorder's value.
class RecorderNews : public QAccessibleInterface {
public:
    explicit RecorderNews(ShortcutRecorder* recorder) : recorder_(recorder) { }

    bool isValid() const override { return recorder_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return recorder_->window()->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(recorder_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? recorder_->accessibleValue() : QString();
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override { return {recorder_->mapToGlobal(QPoint()), recorder_->size()}; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !recorder_->isVisible();
        state.focused = recorder_->hasFocus() && recorder_->recording(); // the keys go to what it asks for
        return state;
    }

private:
    QPointer<ShortcutRecorder> recorder_;
};

// Assistive technology hears what the button does as its name and the combination as its value,
// whatever title it shows; while it records, it is pressed and its value asks for the keys. Readers
// speak a button's description after its name, not its value: the description says the value too.
class RecorderAccessible : public AccessibleValueWidget {
public:
    explicit RecorderAccessible(ShortcutRecorder* recorder)
        : AccessibleValueWidget(recorder, QAccessible::Button), news_(new RecorderNews(recorder)),
          newsID_(QAccessible::registerAccessibleInterface(news_))
    {
    }
    ~RecorderAccessible() override { QAccessible::deleteAccessibleInterface(newsID_); }

    QString text(QAccessible::Text kind) const override
    {
        auto* recorder = static_cast<ShortcutRecorder*>(widget());
        if (kind == QAccessible::Name)
            return recorder->accessibleName();
        if (kind == QAccessible::Value || kind == QAccessible::Description)
            return recorder->accessibleValue();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = static_cast<ShortcutRecorder*>(widget())->recording();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<ShortcutRecorder*>(widget())->begin();
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override { return index == 0 ? news_ : nullptr; }
    int indexOfChild(const QAccessibleInterface* child) const override { return child == news_ ? 0 : -1; }

private:
    RecorderNews* news_;
    QAccessible::Id newsID_;
};

QAccessibleInterface* recorderAccessible(const QString&, QObject* object)
{
    auto* recorder = qobject_cast<ShortcutRecorder*>(object);
    return recorder ? new RecorderAccessible(recorder) : nullptr;
}

} // namespace

ShortcutRecorder::ShortcutRecorder(GlobalShortcut* shortcut, bool branded, QWidget* parent)
    : QPushButton(parent), shortcut_(shortcut), branded_(branded)
{
    static const bool factoryInstalled = (QAccessible::installFactory(recorderAccessible), true);
    Q_UNUSED(factoryInstalled);
    setObjectName(QStringLiteral("shortcut-recorder"));
    setAccessibleName(QCoreApplication::translate("Tavlin", "Change Quick Panel shortcut"));
    setFocusPolicy(Qt::StrongFocus);
    setFont(SystemFont::regular(13, QFont::Medium));
    setFlat(true);
    if (!branded_)
        KeyboardFocus::track(this);
    connect(this, &QPushButton::clicked, this, &ShortcutRecorder::begin);
    if (shortcut_) {
        connect(shortcut_, &GlobalShortcut::bindingChanged, this, &ShortcutRecorder::showState);
        connect(shortcut_, &GlobalShortcut::recordingChanged, this, [this] {
            if (!recording())
                releaseKeyboardGrab();
            showState();
        });
    }
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && grabbing_)
            cancel();
    });
    showState();
    toldValue_ = accessibleValue(); // nothing new to hear as it is made
}

ShortcutRecorder::~ShortcutRecorder()
{
    if (grabbing_)
        cancel();
    releaseKeyboardGrab();
}

void ShortcutRecorder::setIdleTitle(const std::optional<QString>& title)
{
    idleTitle_ = title;
    showState();
}

bool ShortcutRecorder::recording() const
{
    return shortcut_ && shortcut_->recording();
}

void ShortcutRecorder::begin()
{
    if (!shortcut_)
        return;
    setFocus(Qt::OtherFocusReason);
    shortcut_->beginRecording();
    if (recording() && !grabbing_ && isVisible()) {
        // The pointer too: a click into another program comes here first, and ends the recording.
        grabKeyboard();
        grabMouse();
        grabbing_ = true;
    }
    showState();
}

void ShortcutRecorder::cancel()
{
    if (shortcut_)
        shortcut_->finishRecording(std::nullopt);
    releaseKeyboardGrab();
}

void ShortcutRecorder::redeliver(const QMouseEvent& press)
{
    // The click ended the recording and was meant for what lies under it, a sidebar item say:
    // once the grab is gone, our window under the pointer gets it as if it had come from there.
    const QPoint global = press.globalPosition().toPoint();
    QWidget* target = QApplication::widgetAt(global);
    QWindow* window = target ? target->window()->windowHandle() : nullptr;
    if (!window)
        return;
    QMouseEvent again(QEvent::MouseButtonPress, window->mapFromGlobal(press.globalPosition()), press.globalPosition(),
                      press.button(), press.buttons(), press.modifiers());
    QCoreApplication::sendEvent(window, &again);
}

void ShortcutRecorder::releaseKeyboardGrab()
{
    if (!grabbing_)
        return;
    grabbing_ = false;
    releaseKeyboard();
    releaseMouse();
}

bool ShortcutRecorder::event(QEvent* event)
{
    // Only the recorder that started the recording takes its keys.
    if (grabbing_ && recording()) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // Ctrl+Q and Ctrl+W are recorded, not run
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            take(static_cast<QKeyEvent*>(event)); // Tab too: it is a key, not a focus move
            return true;
        }
        if (event->type() == QEvent::KeyRelease)
            return true;
        if (event->type() == QEvent::MouseButtonPress
            && !rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            cancel(); // a click anywhere else, in this window or another program's
            redeliver(*static_cast<QMouseEvent*>(event));
            return true;
        }
    }
    return QPushButton::event(event);
}

void ShortcutRecorder::take(QKeyEvent* event)
{
    if (event->isAutoRepeat() || isModifierKey(event->key()))
        return;
    const ShortcutBinding binding = shortcut_->backend().binding(event->nativeScanCode(), event->modifiers());
    const bool escape = binding.keyCode == escapeKeyCode
        || (event->key() == Qt::Key_Escape && event->nativeScanCode() == 0);
    releaseKeyboardGrab();
    shortcut_->finishRecording(escape ? std::nullopt : std::optional<ShortcutBinding>(binding));
    showState();
}

void ShortcutRecorder::focusInEvent(QFocusEvent* event)
{
    QPushButton::focusInEvent(event);
    if (onFocusChange_)
        onFocusChange_(true);
}

void ShortcutRecorder::focusOutEvent(QFocusEvent* event)
{
    if (grabbing_)
        cancel();
    if (onFocusChange_)
        onFocusChange_(false);
    QPushButton::focusOutEvent(event);
}

void ShortcutRecorder::hideEvent(QHideEvent* event)
{
    if (grabbing_)
        cancel();
    QPushButton::hideEvent(event);
}

QString ShortcutRecorder::accessibleValue() const
{
    if (recording())
        return recordingText();
    return shortcut_ ? shortcut_->backend().displayText(shortcut_->binding()) : QString();
}

void ShortcutRecorder::showState()
{
    if (!shortcut_)
        return;
    const QString title = recording() ? recordingText()
                                      : idleTitle_.value_or(shortcut_->backend().displayText(shortcut_->binding()));
    if (text() != title)
        setText(title);
    // Told once the service has settled: a recording ends just before its new binding is in force.
    if (QAccessible::isActive())
        QMetaObject::invokeMethod(this, &ShortcutRecorder::tellValue, Qt::QueuedConnection);
    update();
}

void ShortcutRecorder::tellValue()
{
    if (accessibleValue() == toldValue_)
        return;
    toldValue_ = accessibleValue();
    // For readers that keep the description they read.
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
    if (!isVisible() || !isActiveWindow())
        return;
    // Heard as it happens, as the focus comes to it: the recorder itself once a recording ends,
    // which says its shortcut after its name, and otherwise its news (a recording begun, or a
    // shortcut reset while the keyboard is on Reset), where the keyboard stays.
    QAccessibleEvent heard(this, QAccessible::Focus);
    if (recording() || !hasFocus())
        heard.setChild(0);
    QAccessible::updateAccessibility(&heard);
}

void ShortcutRecorder::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.45);
    const QRectF field = QRectF(rect()).adjusted(2, 2, -2, -2);
    const bool active = recording() && grabbing_;
    if (branded_) {
        RoundedShape::fill(painter, field, 10, TavlinTheme::elevatedSurface.resolve(appearance));
    } else {
        RoundedShape::fill(
            painter, field, 8,
            (isDown() || underMouse() ? TavlinTheme::hoverSurface : TavlinTheme::controlFill).resolve(appearance));
        RoundedShape::strokeInside(painter, field, 8, TavlinTheme::controlBorder.resolve(appearance), 1);
    }
    if (active || (!branded_ && KeyboardFocus::showsRing(this)))
        RoundedShape::strokeInside(painter, QRectF(rect()), 10, TavlinTheme::brandAccent.resolve(appearance), 2);
    painter.setFont(font());
    painter.setPen((active ? TavlinTheme::brandAccent : TavlinTheme::primaryText).resolve(appearance));
    painter.drawText(field.adjusted(8, 0, -8, 0), Qt::AlignCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, qFloor(field.width() - 16)));
}

} // namespace tavlin
