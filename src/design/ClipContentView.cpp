#include "ClipContentView.h"

#include "ClipTextSnippet.h"
#include "DocumentView.h"
#include "FormattedTextView.h"
#include "RoundedShape.h"
#include "StoredPlaceholder.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include <limits>

namespace tavlin {

namespace {

constexpr int maximumImageHeight = 350;

// The image scaled to the full width, at most 350 high, centred, in rounded corners.
class ImagePreview : public QWidget {
public:
    ImagePreview(QImage image, QWidget* parent)
        : QWidget(parent)
        , m_image(std::move(image))
    {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        setAccessibleName(QCoreApplication::translate("Tavlin", "Image preview"));
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return fitted(QSize(width, maximumImageHeight)).height(); }
    QSize sizeHint() const override { return fitted(QSize(m_image.width(), maximumImageHeight)); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QSize size = fitted(this->size());
        const QRectF target(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0), QSizeF(size));
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.setClipPath(RoundedShape::path(target, 10));
        painter.drawImage(target, m_image);
    }

private:
    QSize fitted(const QSize& box) const
    {
        if (m_image.isNull() || box.isEmpty())
            return {};
        // Scaled to the box, up as well as down, its shape kept.
        return m_image.size().scaled(box.width(), qMin(box.height(), maximumImageHeight), Qt::KeepAspectRatio);
    }

    QImage m_image;
};

DocumentView* textView(QWidget* parent, const QFont& font)
{
    auto* view = new DocumentView(parent);
    view->document()->setDefaultFont(font);
    view->setSelectable(true);
    return view;
}

} // namespace

ClipContentView::ClipContentView(const Clip& clip, const ClipPreview& preview, QWidget* parent)
    : QWidget(parent)
    , m_clip(clip)
    , m_preview(preview)
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

void ClipContentView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The colours are part of the built text.
    if (event->type() == QEvent::PaletteChange && m_body)
        build();
}

void ClipContentView::build()
{
    if (m_body) {
        delete m_body;
        m_body = nullptr;
    }
    switch (m_preview.kind) {
    case ClipPreview::Case::image: m_body = buildImage(); break;
    case ClipPreview::Case::richText:
        m_presentation = Presentation::richText;
        m_body = new FormattedTextView(m_preview.data, m_preview.type, std::numeric_limits<qint64>::max(), std::nullopt,
                                       true, this);
        break;
    case ClipPreview::Case::text: {
        const QString text = displayText(m_clip);
        const QString host = linkHost(m_clip);
        if (!host.isEmpty())
            m_body = buildLink(text, host);
        else if (m_clip.kind == ClipKind::text && ClipTextSnippet::isCode(text))
            m_body = buildCode(text);
        else
            m_body = buildPlain(text);
        break;
    }
    }
    if (m_body)
        layout()->addWidget(m_body);
}

QWidget* ClipContentView::buildImage()
{
    QImage image = QImage::fromData(m_preview.data);
    if (image.isNull()) {
        // Bytes that are no image leave the area empty.
        m_presentation = Presentation::empty;
        return nullptr;
    }
    m_presentation = Presentation::image;
    return new ImagePreview(std::move(image), this);
}

QWidget* ClipContentView::buildLink(const QString& text, const QString& host)
{
    m_presentation = Presentation::link;
    const Appearance appearance = ThemeAppearance::of(this);
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(linkSpacing);

    DocumentView* hostView = textView(box, linkHostFont());
    hostView->setObjectName(QStringLiteral("link-host"));
    hostView->setPlainText(host);
    column->addWidget(hostView);

    DocumentView* address = textView(box, linkAddressFont());
    address->setObjectName(QStringLiteral("link-address"));
    QTextCharFormat accent;
    accent.setForeground(TavlinTheme::brandAccent.resolve(appearance));
    QTextCursor(address->document()).insertText(text, accent);
    column->addWidget(address);
    return box;
}

QWidget* ClipContentView::buildCode(const QString& text)
{
    m_presentation = Presentation::code;
    const Appearance appearance = ThemeAppearance::of(this);
    DocumentView* view = textView(this, SystemFont::monospaced(13));
    view->setObjectName(QStringLiteral("code-text"));
    QTextCursor cursor(view->document());
    // The head is highlighted; the rest follows in the view's own font and colour, so that the
    // whole text shows however long it is.
    const HighlightedText head = ClipTextSnippet::highlighted(text, ClipTextSnippet::maximumHighlightedCharacters);
    head.insert(cursor, appearance);
    const QString rest = text.mid(head.text.size());
    if (!rest.isEmpty()) {
        QString plain = rest;
        if (head.text.endsWith(u'\r') && plain.startsWith(u'\n'))
            plain.remove(0, 1);
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        cursor.insertText(plain, QTextCharFormat());
    }
    view->setPadding(QMarginsF(12, 12, 12, 12));
    view->setLineSpacing(plainLineSpacing);
    view->setSurface(TavlinTheme::elevatedSurface, 8);
    return view;
}

QWidget* ClipContentView::buildPlain(const QString& text)
{
    m_presentation = Presentation::plainText;
    DocumentView* view = textView(this, plainFont());
    view->setObjectName(QStringLiteral("plain-text"));
    view->setPlainText(text);
    view->setLineSpacing(plainLineSpacing);
    return view;
}

} // namespace tavlin
