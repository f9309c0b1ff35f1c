#include "ClipContentView.h"

#include "ClipTextSnippet.h"
#include "DocumentView.h"
#include "FormattedTextView.h"
#include "LongTextView.h"
#include "RoundedShape.h"
#include "StoredPlaceholder.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"
#include "TextFocusRing.h"
#include "ThemeAppearance.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QFutureWatcher>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace tavlin {

namespace {

constexpr int maximumImageHeight = 350;

// The image scaled to the full width, at most 350 high, centred, in rounded corners.
class ImagePreview : public QWidget {
public:
    ImagePreview(QImage image, QWidget* parent) : QWidget(parent), image_(std::move(image))
    {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        setAccessibleName(QCoreApplication::translate("Tavlin", "Image preview"));
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return fitted(QSize(width, maximumImageHeight)).height(); }
    // The picture at its tallest. A layout reads a hint's height as the height for the hint's
    // width, and a column aligned to the top is given no more than that: a hint of a small
    // picture's own size would squeeze the picture, scaled up to the width, and what lies under it.
    QSize sizeHint() const override
    {
        if (image_.isNull())
            return {};
        const QSize tallest = image_.size().scaled(QWIDGETSIZE_MAX, maximumImageHeight, Qt::KeepAspectRatio);
        return {qMax(tallest.width(), 1), tallest.height()};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QSize size = fitted(this->size());
        const QRectF target(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0), QSizeF(size));
        // Scaling the whole image smoothly is the costly part of a paint: done once a size.
        const QSize device = (QSizeF(size) * devicePixelRatioF()).toSize();
        if (!size.isEmpty() && scaled_.size() != device) {
            scaled_ = QPixmap::fromImage(image_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            scaled_.setDevicePixelRatio(devicePixelRatioF());
        }
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.setClipPath(RoundedShape::path(target, 10));
        painter.drawPixmap(target, scaled_, QRectF(scaled_.rect()));
    }

private:
    QSize fitted(const QSize& box) const
    {
        if (image_.isNull() || box.isEmpty())
            return {};
        // Scaled to the box, up as well as down, its shape kept.
        return image_.size().scaled(box.width(), qMin(box.height(), maximumImageHeight), Qt::KeepAspectRatio);
    }

    QImage image_;
    QPixmap scaled_;
};

DocumentView* textView(QWidget* parent, const QFont& font)
{
    auto* view = new DocumentView(parent);
    view->document()->setDefaultFont(font);
    view->setSelectable(true);
    return view;
}

// A link's host in large type. It breaks only after its dots, and where one of its labels is wider
// than the view on its own, it is shortened in the middle; copied, it is the host as it is.
class HostView : public DocumentView {
public:
    HostView(const QString& host, QWidget* parent) : DocumentView(parent), host_(host)
    {
        document()->setDefaultFont(ClipContentView::linkHostFont());
        setWordWrapMode(QTextOption::WordWrap);
        showHost(QWIDGETSIZE_MAX);
    }

    // The host as shown, without the characters that only place its line breaks.
    QString readText() const { return withoutBreaks(toPlainText()); }
    // Positions between the shown text and readText().
    int readPosition(int shown) const { return shown - breaksBefore(shown); }
    int shownPosition(int read) const
    {
        int shown = 0;
        const QString text = toPlainText();
        for (int seen = 0; shown < text.size() && seen < read; ++shown) {
            if (!isBreak(text.at(shown)))
                ++seen;
        }
        while (shown < text.size() && isBreak(text.at(shown)))
            ++shown;
        return shown;
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        showHost(viewport()->width());
        DocumentView::resizeEvent(event);
    }
    QMimeData* createMimeDataFromSelection() const override
    {
        QMimeData* data = DocumentView::createMimeDataFromSelection();
        // A shortened host is copied whole; else the selection, without the breaks it was given.
        data->setText(shortened_ ? host_ : withoutBreaks(data->text()));
        return data;
    }

private:
    static bool isBreak(QChar c) { return c == QChar(0x200B) || c == QChar(0x2060); }
    static QString withoutBreaks(QString text) { return text.remove(QChar(0x200B)).remove(QChar(0x2060)); }
    int breaksBefore(int shown) const
    {
        const QString text = toPlainText().left(shown);
        return int(std::count_if(text.cbegin(), text.cend(), isBreak));
    }
    void showHost(qreal width)
    {
        const QString shown = ClipContentView::shownHost(host_, width);
        if (shown == toPlainText())
            return;
        shortened_ = withoutBreaks(shown) != host_;
        setPlainText(shown);
    }

    QString host_;
    bool shortened_ = false;
};

// What assistive technology reads of a host: the host itself, never the invisible characters that
// place its line breaks, with the caret and selection of the view.
class HostAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit HostAccessible(HostView* view) : QAccessibleWidget(view, QAccessible::EditableText) { }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.selectableText = true;
        state.multiLine = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? view()->readText() : QAccessibleWidget::text(kind);
    }

    QString text(int start, int end) const override { return view()->readText().mid(start, end - start); }
    int characterCount() const override { return int(view()->readText().size()); }
    int cursorPosition() const override { return view()->readPosition(view()->textCursor().position()); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }
    int selectionCount() const override { return view()->textCursor().hasSelection() ? 1 : 0; }
    void selection(int index, int* start, int* end) const override
    {
        const QTextCursor cursor = view()->textCursor();
        *start = *end = 0;
        if (index == 0 && cursor.hasSelection()) {
            *start = view()->readPosition(cursor.selectionStart());
            *end = view()->readPosition(cursor.selectionEnd());
        }
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { setSelection(0, cursorPosition(), cursorPosition()); }
    void setSelection(int, int start, int end) override
    {
        QTextCursor cursor = view()->textCursor();
        cursor.setPosition(view()->shownPosition(start));
        cursor.setPosition(view()->shownPosition(end), QTextCursor::KeepAnchor);
        view()->setTextCursor(cursor);
    }
    QRect characterRect(int offset) const override
    {
        QTextCursor cursor = view()->textCursor();
        cursor.setPosition(view()->shownPosition(offset));
        const QRect rect = view()->cursorRect(cursor);
        return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return view()->readPosition(view()->cursorForPosition(view()->viewport()->mapFromGlobal(point)).position());
    }
    void scrollToSubstring(int start, int) override
    {
        QTextCursor cursor = view()->textCursor();
        cursor.setPosition(view()->shownPosition(start));
        view()->setTextCursor(cursor);
        view()->ensureCursorVisible();
    }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    HostView* view() const { return static_cast<HostView*>(widget()); }
};

QAccessibleInterface* hostAccessible(const QString&, QObject* object)
{
    if (auto* view = dynamic_cast<HostView*>(object))
        return new HostAccessible(view);
    return nullptr;
}

} // namespace

ClipContentView::ClipContentView(const Clip& clip, const ClipPreview& preview, const QImage& image, QWidget* parent)
    : QWidget(parent), clip_(clip), preview_(preview), image_(image)
{
    setObjectName(QStringLiteral("clip-preview"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    build();
}

QString ClipContentView::displayText(const Clip& clip)
{
    return StoredPlaceholder::display(clip.text, clip.kind).value_or(clip.text);
}

QString ClipContentView::linkHost(const Clip& clip)
{
    if (clip.kind != ClipKind::link)
        return {};
    const QUrl url(displayText(clip), QUrl::StrictMode);
    return url.isValid() ? url.host() : QString();
}

QFont ClipContentView::plainFont()
{
    return SystemFont::regular(15);
}

QFont ClipContentView::linkHostFont()
{
    QFont font = SystemFont::regular(28, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.4);
    return font;
}

QFont ClipContentView::linkAddressFont()
{
    return SystemFont::regular(13);
}

bool ClipContentView::isShortText(const QString& text)
{
    return TextCharacters::count(text, shortTextCharacters) < shortTextCharacters;
}

void ClipContentView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The colours of links and code are part of the built text: they are built again for another
    // appearance, not for each palette the view is handed (it gets one when it joins a window).
    if (event->type() != QEvent::PaletteChange || !body_ || ThemeAppearance::of(this) == builtFor_)
        return;
    if (presentation_ == Presentation::richText)
        applyRichSurface();
    else if (presentation_ == Presentation::link || presentation_ == Presentation::code)
        build();
    builtFor_ = ThemeAppearance::of(this);
}

void ClipContentView::build()
{
    if (body_) {
        delete body_;
        body_ = nullptr;
    }
    builtFor_ = ThemeAppearance::of(this);
    switch (preview_.kind) {
    case ClipPreview::Case::image: body_ = buildImage(); break;
    case ClipPreview::Case::richText: body_ = buildRichText(); break;
    case ClipPreview::Case::text: {
        const QString text = displayText(clip_);
        const QString host = linkHost(clip_);
        if (!host.isEmpty())
            body_ = buildLink(text, host);
        else if (clip_.kind == ClipKind::text && ClipTextSnippet::isCode(text))
            body_ = buildCode(text);
        else
            body_ = buildPlain(text);
        break;
    }
    }
    if (!body_)
        return;
    layout()->addWidget(body_);
    // The text a user reads takes the keyboard too (to select a part of it with the keys), and
    // shows when it has it.
    QList<QAbstractScrollArea*> texts = body_->findChildren<QAbstractScrollArea*>();
    if (auto* own = qobject_cast<QAbstractScrollArea*>(body_))
        texts.prepend(own);
    for (QAbstractScrollArea* text : texts) {
        if (text->focusPolicy() != Qt::ClickFocus)
            continue;
        TextFocusRing::attach(text);
        // A screen reader says what the text is before reading it.
        if (text->accessibleName().isEmpty())
            text->setAccessibleName(QCoreApplication::translate("Tavlin", "Preview"));
    }
}

QWidget* ClipContentView::buildImage()
{
    if (image_.isNull()) {
        // Bytes that are no image leave the area empty.
        presentation_ = Presentation::empty;
        return nullptr;
    }
    presentation_ = Presentation::image;
    return new ImagePreview(image_, this);
}

QWidget* ClipContentView::buildRichText()
{
    presentation_ = Presentation::richText;
    auto* view = new LongTextView(this);
    view->setObjectName(QStringLiteral("formatted-text"));
    view->setPadding(8);
    // Read away from the main thread, however long the document; the view, laid out only as far
    // as it shows, takes it when it is read. A view gone before then drops it.
    auto* reading = new QFutureWatcher<FormattedTextView::Read>(view);
    connect(reading, &QFutureWatcherBase::finished, view, [this, view, reading] {
        FormattedTextView::Read read = reading->future().takeResult();
        reading->deleteLater();
        // Bytes that don't read leave the area empty.
        if (!read.document) {
            view->hide();
            return;
        }
        richSurface_ = read.surface;
        view->setRichDocument(std::move(read.document));
        applyRichSurface();
    });
    reading->setFuture(FormattedTextView::read(preview_.data, preview_.type));
    return view;
}

void ClipContentView::applyRichSurface()
{
    auto* view = qobject_cast<LongTextView*>(body_);
    if (!view || !richSurface_)
        return;
    const Appearance appearance = ThemeAppearance::of(this);
    view->setSurfaceColor(FormattedTextView::surfaceColor(*richSurface_, appearance), 8);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Text, FormattedTextView::inkColor(*richSurface_, appearance));
    view->setPalette(palette);
}

QWidget* ClipContentView::buildLink(const QString& text, const QString& host)
{
    presentation_ = Presentation::link;
    const Appearance appearance = ThemeAppearance::of(this);
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(linkSpacing);

    static const bool accessibleInstalled = (QAccessible::installFactory(hostAccessible), true);
    Q_UNUSED(accessibleInstalled);
    auto* hostView = new HostView(host, box);
    hostView->setObjectName(QStringLiteral("link-host"));
    hostView->setAccessibleName(QCoreApplication::translate("Tavlin", "Website"));
    column->addWidget(hostView);

    const QColor accent = TavlinTheme::brandAccent.resolve(appearance);
    // An address too long to lay out whole scrolls in the room the link leaves it.
    if (text.size() > longTextCharacters) {
        auto* address = new LongTextView(box);
        address->setObjectName(QStringLiteral("link-address"));
        address->setAccessibleName(QCoreApplication::translate("Tavlin", "Link"));
        address->setFont(linkAddressFont());
        address->setText(text);
        QPalette palette = address->palette();
        palette.setColor(QPalette::Text, accent);
        address->setPalette(palette);
        // It takes the room the host and the button leave, never more: the button stays whole.
        address->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
        address->setMinimumHeight(2 * address->fontMetrics().lineSpacing());
        column->addWidget(address, 1);
        return box;
    }
    DocumentView* address = textView(box, linkAddressFont());
    address->setObjectName(QStringLiteral("link-address"));
    address->setAccessibleName(QCoreApplication::translate("Tavlin", "Link"));
    QTextCharFormat format;
    format.setForeground(accent);
    QTextCursor(address->document()).insertText(text, format);
    column->addWidget(address);
    return box;
}

QString ClipContentView::shownHost(const QString& host, qreal width)
{
    // Each label of the host with its dot, on a line of its own if need be.
    const QStringList labels = host.split(u'.');
    const QFontMetricsF metrics(linkHostFont());
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const QString label = labels.at(i) + (i + 1 < labels.size() ? QStringLiteral(".") : QString());
        if (metrics.horizontalAdvance(label) > width)
            return metrics.elidedText(host, Qt::ElideMiddle, width);
    }
    // A hyphen is held to what follows it: a host breaks after its dots alone.
    return QString(host).replace(u'-', QStringLiteral("-\u2060")).replace(u'.', QStringLiteral(".\u200B"));
}

QWidget* ClipContentView::buildCode(const QString& text)
{
    presentation_ = Presentation::code;
    const Appearance appearance = ThemeAppearance::of(this);
    // The head is highlighted; the rest follows in the view's own font and colour, so that the
    // whole text shows however long it is.
    // Code fills the card whatever its length: it scrolls in a view of its own.
    const HighlightedText head = ClipTextSnippet::highlighted(text, ClipTextSnippet::maximumHighlightedCharacters);
    auto* view = new LongTextView(this);
    view->setObjectName(QStringLiteral("code-text"));
    view->setFont(SystemFont::monospaced(13));
    view->setText(text, head.formats(appearance));
    view->setPadding(12);
    view->setLineSpacing(plainLineSpacing);
    view->setSurface(TavlinTheme::elevatedSurface, 8);
    return view;
}

QWidget* ClipContentView::buildPlain(const QString& text)
{
    presentation_ = Presentation::plainText;
    // A short text is as tall as it is; a longer one fills the card and scrolls.
    if (!isShortText(text)) {
        auto* view = new LongTextView(this);
        view->setObjectName(QStringLiteral("plain-text"));
        view->setFont(plainFont());
        view->setText(text);
        view->setLineSpacing(plainLineSpacing);
        return view;
    }
    DocumentView* view = textView(this, plainFont());
    view->setObjectName(QStringLiteral("plain-text"));
    view->setPlainTextKeepingBreaks(text);
    view->setLineSpacing(plainLineSpacing);
    return view;
}

} // namespace tavlin
