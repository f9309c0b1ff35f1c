#include "HistoryWindow.h"

#include "ContentWindow.h"

#include <QBackingStore>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLayout>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace tavlin {

namespace {

constexpr Qt::WindowFlags floatingFlags = Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
    | Qt::WindowCloseButtonHint;
constexpr Qt::WindowFlags ordinaryFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
    | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

} // namespace

HistoryWindow::HistoryWindow(QWidget* parent) : QWidget(parent, floatingFlags)
{
    ContentWindow::fill(this, nullptr, QStringLiteral("history"), QStringLiteral("Tavlin"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Its content paints every pixel: a fill of the whole window beneath it would be wasted.
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(regularSize);

    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen*) { refitToScreen(); });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this](QScreen*) { refitToScreen(); });
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen*) { refitToScreen(); });
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    refitToScreen();
}

void HistoryWindow::setFloating(bool floating)
{
    if (floating_ == floating)
        return;
    floating_ = floating;
    // Staying above the others or no longer is a new native window: Qt makes one as it next
    // shows the window, which would drop what the window manager was told meanwhile. It is made
    // now instead, where the kind of frame is settled.
    const bool created = testAttribute(Qt::WA_WState_Created);
    hide();
    if (created)
        destroy();
    setWindowFlags(floating ? floatingFlags : ordinaryFlags);
    if (created)
        create();
    refitToScreen();
}

void HistoryWindow::setContent(QWidget* content)
{
    layout()->addWidget(content);
    // In a frame already shown, the content is laid out and shown at once, before anything
    // paints, rather than from the event loop after a first paint without it.
    if (isVisible()) {
        content->show();
        layout()->activate();
    }
}

void HistoryWindow::drawAhead()
{
    QBackingStore* store = backingStore();
    if (isVisible() || !store || !layout())
        return;
    layout()->activate();
    store->resize(size());
    const QRegion all(rect());
    store->beginPaint(all);
    render(store->paintDevice(), QPoint(), all);
    store->endPaint();
}

void HistoryWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Painted at once rather than on the window manager's first expose: Qt paints a window only
    // once it counts as mapped, and a window manager takes several milliseconds to frame and map
    // it. Painting meanwhile leaves the expose nothing to do but put the finished picture on
    // screen. (A picture sent before the window is viewable is dropped by the server; the expose
    // sends it again.)
    setAttribute(Qt::WA_Mapped);
    if (QWindow* window = windowHandle()) {
        connect(window, &QWindow::screenChanged, this, &HistoryWindow::watchScreen, Qt::UniqueConnection);
        watchScreen(window->screen());
    }
}

void HistoryWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Drawing into the window's buffer first waits until the X server has read the picture last
    // sent from it; that wait is taken now, while nobody waits for the window, rather than at
    // the start of its next showing, when the server is busy with the window manager's mapping.
    if (QBackingStore* store = backingStore(); store && !event->spontaneous()) {
        const QRegion all(rect());
        store->beginPaint(all);
        store->endPaint();
    }
}

void HistoryWindow::watchScreen(QScreen* screen)
{
    disconnect(screenConnection_);
    if (screen)
        screenConnection_ = connect(screen, &QScreen::availableGeometryChanged, this, [this] { refitToScreen(); });
    refitToScreen();
}

void HistoryWindow::refitToScreen()
{
    if (fitting_)
        return;
    QScreen* screen = windowHandle() && windowHandle()->screen() ? windowHandle()->screen()
                                                                 : QGuiApplication::primaryScreen();
    if (!screen && !QGuiApplication::screens().isEmpty())
        screen = QGuiApplication::screens().first();
    if (screen)
        fit(screen->availableGeometry());
}

void HistoryWindow::fit(const QRect& available)
{
    if (fitting_ || available.width() <= 0 || available.height() <= 0)
        return;
    // The window manager keeps a maximised or full-screen window to the screen itself.
    if (!floating_ && (isMaximized() || isFullScreen()))
        return;
    fitting_ = true;
    // The window manager's decorations count against the available area too.
    const QSize decorations = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
    const QSize regularFrame = regularSize + decorations;
    const QSize content = regularFrame.width() <= available.width() && regularFrame.height() <= available.height()
        ? regularSize
        : compactSize;
    // An ordinary window keeps the size the user gave it, where it fits.
    const QSize wanted = floating_ ? content : size().expandedTo(content);
    const int width = std::min(wanted.width() + decorations.width(), available.width());
    const int height = std::min(wanted.height() + decorations.height(), available.height());
    const QPoint current = frameGeometry().topLeft();
    const int x = std::min(std::max(available.left(), current.x()), available.left() + available.width() - width);
    const int y = std::min(std::max(available.top(), current.y()), available.top() + available.height() - height);
    const QSize fitted(width - decorations.width(), height - decorations.height());
    if (floating_) {
        setFixedSize(fitted);
    } else {
        setMinimumSize(content.boundedTo(fitted));
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(fitted);
    }
    move(x, y);
    fitting_ = false;
}

void HistoryWindow::closeEvent(QCloseEvent* event)
{
    Q_EMIT aboutToClose();
    // Hidden rather than closed: an accepted close destroys the native window, and the frame
    // keeps one for its life.
    hide();
    event->ignore();
}

} // namespace tavlin
