#include "ClipPreviewPanel.h"

#include "ButtonLook.h"
#include "CardMetadata.h"
#include "ClipContentView.h"
#include "ClipTextSnippet.h"
#include "ClipTypeBadge.h"
#include "CopyActionButton.h"
#include "DocumentView.h"
#include "ElidedLabel.h"
#include "HistoryTimestamp.h"
#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SourceApplicationIcon.h"
#include "SourceApplicationNameLabel.h"
#include "SourceIconView.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "TextCharacters.h"
#include "TextFocusRing.h"
#include "ThemeAppearance.h"
#include "Workspace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace tavlin {

namespace {

constexpr int pillHeight = 32;
constexpr int sourceNameWidth = 140;
constexpr int footerMinimumWidth = 110;
constexpr int maximumLinkHeight = 220;

// The panel's capsule buttons: a label (with an optional symbol) on the control fill, as wide as
// the label, never cut.
QPushButton* previewPill(const QString& text, const QString& symbol, int horizontalInset, std::function<void()> action,
                         QWidget* parent)
{
    ButtonLook look = ButtonLook::withKind(ButtonLook::Kind::pill);
    look.symbol = symbol;
    look.padding = horizontalInset;
    auto* pill = ButtonLook::push(look, text, parent);
    pill->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QObject::connect(pill, &QAbstractButton::clicked, pill, [action = std::move(action)] {
        if (action)
            action();
    });
    return pill;
}

// The header's label: the kind's symbol and "Preview".
class HeaderLabel : public QWidget {
public:
    HeaderLabel(const QString& symbol, const QString& text, QWidget* parent)
        : QWidget(parent), symbol_(symbol), text_(text)
    {
        setFont(SystemFont::regular(12, QFont::Medium));
        setAccessibleName(text);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        return {iconSize + spacing + fontMetrics().horizontalAdvance(text_) + 1,
                qMax(iconSize, fontMetrics().height())};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QColor color = TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this));
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        SymbolIcon::paint(painter, symbol_, QRectF(0, (height() - iconSize) / 2.0, iconSize, iconSize), color);
        painter.setPen(color);
        painter.drawText(QRectF(iconSize + spacing, 0, width(), height()), Qt::AlignLeft | Qt::AlignVCenter, text_);
    }

private:
    static constexpr int iconSize = 13;
    static constexpr int spacing = 6;
    QString symbol_;
    QString text_;
};

// The content's scroll area: with a compact height it asks for exactly that and may shrink;
// without, it takes all the height the card leaves.
class ContentScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    std::optional<int> compactHeight;

    QSize sizeHint() const override
    {
        const QSize hint = QScrollArea::sizeHint();
        return compactHeight ? QSize(hint.width(), *compactHeight) : hint;
    }
    QSize minimumSizeHint() const override { return {0, 0}; }
};

// The pills under a file: side by side where the pane is wide enough, else one under the other,
// so that a narrow pane never cuts a label or slides it under the scroll bar.
class PillRow : public QWidget {
public:
    explicit PillRow(QWidget* parent) : QWidget(parent)
    {
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }
    void add(QWidget* pill)
    {
        pill->setParent(this);
        pills_.append(pill);
    }

    QSize sizeHint() const override { return {rowWidth(), pillHeight}; }
    QSize minimumSizeHint() const override
    {
        int widest = 0;
        for (const QWidget* pill : pills_)
            widest = qMax(widest, pill->sizeHint().width());
        return {widest, pillHeight};
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override
    {
        const int count = int(pills_.size());
        return width >= rowWidth() ? pillHeight : count * pillHeight + (count - 1) * spacing;
    }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        const bool side = width() >= rowWidth();
        QPoint origin;
        for (QWidget* pill : std::as_const(pills_)) {
            pill->setGeometry(QRect(origin, pill->sizeHint()));
            origin += side ? QPoint(pill->width() + spacing, 0) : QPoint(0, pillHeight + spacing);
        }
    }

private:
    static constexpr int spacing = 8;
    int rowWidth() const
    {
        int width = -spacing;
        for (const QWidget* pill : pills_)
            width += pill->sizeHint().width() + spacing;
        return width;
    }
    QList<QWidget*> pills_;
};

int measuredHeight(const QString& text, const QFont& font, std::optional<qreal> lineSpacing, int width,
                   QTextOption::WrapMode wrap = QTextOption::WrapAtWordBoundaryOrAnywhere)
{
    QTextDocument document;
    document.setDocumentMargin(0);
    document.setDefaultFont(font);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(wrap);
    document.setDefaultTextOption(option);
    document.setPlainText(text);
    if (lineSpacing) {
        QTextCursor cursor(&document);
        cursor.select(QTextCursor::Document);
        QTextBlockFormat spacing;
        spacing.setLineHeight(*lineSpacing, QTextBlockFormat::LineDistanceHeight);
        cursor.mergeBlockFormat(spacing);
    }
    document.setTextWidth(qMax(width, 1));
    return qCeil(document.size().height());
}

} // namespace

ClipPreviewPanel::ClipPreviewPanel(const SourceApplicationIcon& sources, const Clip& clip, const ClipPreview& preview,
                                   const QImage& image, const std::optional<ClipMetadata>& metadata, bool copied,
                                   std::function<void()> onCopy, std::function<void()> onFavorite,
                                   std::function<void()> onDelete, QWidget* parent)
    : QWidget(parent), sources_(sources), clip_(clip), preview_(preview), image_(image), metadata_(metadata),
      onCopy_(std::move(onCopy)), onFavorite_(std::move(onFavorite)), onDelete_(std::move(onDelete))
{
    setObjectName(QStringLiteral("clip-preview-panel"));
    setAttribute(Qt::WA_StyledBackground, false);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());
    column->addWidget(buildContent());
    column->addWidget(buildMetadata());
    if (hasCompactContent(clip, preview))
        column->addStretch(1);
    else
        column->setStretchFactor(scroll_, 1);
    column->addWidget(buildActions());
    setCopied(copied);
    applyCompactHeight();
}

void ClipPreviewPanel::setCopied(bool copied)
{
    copyButton_->setCopied(copied);
}

std::optional<ClipPreviewPanel::FocusPlace> ClipPreviewPanel::focusPlace() const
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !isAncestorOf(focused) || focused->objectName().isEmpty())
        return std::nullopt;
    const QList<QWidget*> named = findChildren<QWidget*>(focused->objectName());
    return FocusPlace{focused->objectName(), named.indexOf(focused), KeyboardFocus::cameByKeyboard(focused)};
}

bool ClipPreviewPanel::takeFocus(const FocusPlace& place)
{
    QWidget* control = findChildren<QWidget*>(place.name).value(place.occurrence);
    if (!control || !control->isEnabled() || control->focusPolicy() == Qt::NoFocus)
        return false;
    // Qt tells assistive technology of the focus arriving, and the ring follows the reason.
    control->setFocus(place.byKeyboard ? Qt::TabFocusReason : Qt::OtherFocusReason);
    return control->hasFocus();
}

bool ClipPreviewPanel::hasCompactContent(const Clip& clip, const ClipPreview& preview)
{
    if (preview.kind != ClipPreview::Case::text)
        return false;
    const QString text = ClipContentView::displayText(clip);
    if (clip.kind == ClipKind::text)
        return TextCharacters::count(text, compactCharacterLimit) < compactCharacterLimit
            && !ClipTextSnippet::isCode(text);
    return clip.kind == ClipKind::link;
}

std::optional<int> ClipPreviewPanel::compactContentHeight(const Clip& clip, const ClipPreview& preview, int width)
{
    if (!hasCompactContent(clip, preview))
        return std::nullopt;
    const QString text = ClipContentView::displayText(clip);
    if (clip.kind == ClipKind::text)
        return measuredHeight(text, ClipContentView::plainFont(), ClipContentView::plainLineSpacing, width) + 24;
    // An address too long to lay out whole is far taller than a link may be.
    if (text.size() > ClipContentView::longTextCharacters)
        return maximumLinkHeight;
    const int address = measuredHeight(text, ClipContentView::linkAddressFont(), std::nullopt, width);
    const QString host = ClipContentView::linkHost(clip);
    if (host.isEmpty())
        return qMin(address + 102, maximumLinkHeight);
    // The host line, the address, the button and the bottom padding, measured in the fonts and
    // the line breaks the content is drawn with: a fixed allowance for them would let the padding
    // scroll, another break would cut the button.
    int height = measuredHeight(ClipContentView::shownHost(host, width), ClipContentView::linkHostFont(), std::nullopt,
                                width, QTextOption::WordWrap)
        + ClipContentView::linkSpacing + address + contentPadding;
    if (webURL(clip))
        height += ClipContentView::linkSpacing + pillHeight;
    return qMin(height, maximumLinkHeight);
}

std::optional<QUrl> ClipPreviewPanel::webURL(const Clip& clip)
{
    const QUrl url(ClipContentView::displayText(clip), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

QString ClipPreviewPanel::sourceName(const Clip& clip, const SourceApplicationIcon& sources)
{
    return sources.resolve(clip.source, clip.kind)->name;
}

QString ClipPreviewPanel::fileTypeLine(const QString& path)
{
    const QString extension = QFileInfo(path).suffix();
    if (extension.isEmpty())
        return QCoreApplication::translate("Tavlin", "File");
    return QCoreApplication::translate("Tavlin", "Type: %1").arg(extension.toUpper());
}

QWidget* ClipPreviewPanel::buildHeader()
{
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    // The content below keeps the last of this room for the ring of its text, so that it is not cut.
    row->setContentsMargins(contentPadding, contentPadding, contentPadding, contentPadding - TextFocusRing::outset);
    row->setSpacing(8);
    row->addWidget(
        new HeaderLabel(SymbolIcon::forKind(clip_.kind), QCoreApplication::translate("Tavlin", "Preview"), header));
    row->addStretch(1);
    return header;
}

QWidget* ClipPreviewPanel::buildContent()
{
    auto* scroll = new ContentScrollArea(this);
    scroll_ = scroll;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->viewport()->setAutoFillBackground(false);
    scroll->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    // The keyboard stops at what the pane holds, never at the bare scroller around it.
    scroll->setFocusPolicy(Qt::NoFocus);

    auto* content = new QWidget(scroll);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(contentPadding, TextFocusRing::outset, contentPadding, contentPadding);
    column->setSpacing(12);
    column->setAlignment(Qt::AlignTop);
    column->addWidget(new ClipContentView(clip_, preview_, image_, content));

    if (const std::optional<QString> dimensions = CardMetadata::dimensions(metadata_)) {
        auto* label = new ElidedLabel(*dimensions, SystemFont::regular(11), TavlinTheme::secondaryText, Qt::ElideRight,
                                      content);
        label->setObjectName(QStringLiteral("clip-dimensions"));
        column->addWidget(label);
    }
    if (clip_.kind == ClipKind::link) {
        if (const std::optional<QUrl> url = webURL(clip_)) {
            auto* open = previewPill(
                QCoreApplication::translate("Tavlin", "Open in Browser"), QStringLiteral("arrow.up.right.square"), 12,
                [url = *url] { QDesktopServices::openUrl(url); }, content);
            open->setObjectName(QStringLiteral("open-in-browser"));
            column->addWidget(open, 0, Qt::AlignLeft);
        }
    }
    scroll->setWidget(content);
    if (clip_.kind == ClipKind::file && metadata_ && !metadata_->filePaths.isEmpty()) {
        // A copy of thousands of files would take seconds to build and lay out whole: the blocks
        // come a few at a time, whenever the view nears the end of those already there (scrolled,
        // or following the keyboard).
        fileColumn_ = column;
        QScrollBar* bar = scroll->verticalScrollBar();
        connect(bar, &QScrollBar::valueChanged, this, &ClipPreviewPanel::addFileBlocksNearEnd);
        connect(bar, &QScrollBar::rangeChanged, this, &ClipPreviewPanel::addFileBlocksNearEnd);
        addFileBlocks();
    }
    // The card shows through: the scroll area would paint the window's background.
    content->setAutoFillBackground(false);
    return scroll;
}

void ClipPreviewPanel::addFileBlocks()
{
    const QStringList& paths = metadata_->filePaths;
    const qsizetype end = qMin(paths.size(), fileBlocks_ + fileBlocksAtATime);
    for (; fileBlocks_ < end; ++fileBlocks_) {
        QWidget* block = buildFileBlock(paths[fileBlocks_], fileColumn_->parentWidget());
        fileColumn_->addWidget(block);
        // Tab goes on from the blocks before, not from the panel's actions made after the first ones.
        for (QWidget* stop : block->findChildren<QWidget*>()) {
            if (!(stop->focusPolicy() & Qt::TabFocus))
                continue;
            if (lastFileStop_)
                QWidget::setTabOrder(lastFileStop_, stop);
            lastFileStop_ = stop;
        }
    }
}

void ClipPreviewPanel::addFileBlocksNearEnd()
{
    const QScrollBar* bar = scroll_->verticalScrollBar();
    if (fileBlocks_ < metadata_->filePaths.size() && bar->maximum() - bar->value() < scroll_->viewport()->height())
        addFileBlocks();
}

QWidget* ClipPreviewPanel::buildFileBlock(const QString& path, QWidget* parent)
{
    auto* block = new QWidget(parent);
    block->setObjectName(QStringLiteral("file-details"));
    block->setProperty("path", path);
    auto* column = new QVBoxLayout(block);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);

    QString name = path;
    while (name.size() > 1 && name.endsWith(u'/'))
        name.chop(1);
    auto* title = new DocumentView(block);
    title->document()->setDefaultFont(SystemFont::regular(13, QFont::Medium));
    title->setPlainText(QFileInfo(name).fileName());
    column->addWidget(title);

    auto* type = new ElidedLabel(fileTypeLine(path), SystemFont::regular(10), TavlinTheme::secondaryText,
                                 Qt::ElideRight, block);
    type->setObjectName(QStringLiteral("file-type"));
    column->addWidget(type);

    auto* location = new DocumentView(block);
    location->document()->setDefaultFont(SystemFont::monospaced(11));
    location->setPlainText(path);
    location->setToolTip(path);
    column->addWidget(location);

    if (QFileInfo::exists(path)) {
        auto* buttons = new PillRow(block);
        const QUrl url = QUrl::fromLocalFile(path);
        // Each press checks again: the file may have gone since the block was built.
        auto* open = previewPill(
            QCoreApplication::translate("Tavlin", "Open File"), QString(), 12,
            [path, url] {
                if (QFileInfo::exists(path))
                    QDesktopServices::openUrl(url);
            },
            block);
        open->setObjectName(QStringLiteral("open-file"));
        auto* show = previewPill(
            QCoreApplication::translate("Tavlin", "Show in Folder"), QString(), 12,
            [path, url, workspace = &sources_.workspace()] {
                if (QFileInfo::exists(path))
                    workspace->showItems({url});
            },
            block);
        show->setObjectName(QStringLiteral("show-in-folder"));
        buttons->add(open);
        buttons->add(show);
        column->addWidget(buttons);
    } else {
        auto* missing = new ElidedLabel(
            QCoreApplication::translate("Tavlin", "The file is no longer at its original location"),
            SystemFont::regular(10), TavlinTheme::secondaryText, Qt::ElideRight, block);
        missing->setObjectName(QStringLiteral("file-missing"));
        column->addWidget(missing);
    }
    return block;
}

QWidget* ClipPreviewPanel::buildMetadata()
{
    auto* section = new QWidget(this);
    section->setObjectName(QStringLiteral("clip-metadata"));
    section->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* column = new QVBoxLayout(section);
    column->setContentsMargins(contentPadding, 14, contentPadding, 14);
    column->setSpacing(8);

    auto* first = new QHBoxLayout();
    first->setSpacing(8);
    first->addWidget(new ClipTypeBadge(clip_.kind, section));
    first->addStretch(1);
    auto* time = new ElidedLabel(HistoryTimestamp::absolute(clip_.createdAt, QLocale()), SystemFont::regular(11),
                                 TavlinTheme::secondaryText, Qt::ElideRight, section);
    time->setObjectName(QStringLiteral("clip-created"));
    first->addWidget(time);
    column->addLayout(first);

    auto* second = new QHBoxLayout();
    second->setSpacing(8);
    second->addWidget(new SourceIconView(sources_, clip_.source, clip_.kind, section));
    // The source keeps its name, up to about twenty characters; the details take the room left
    // and are cut first, down to the start of what they say.
    auto* source = new SourceApplicationNameLabel(sourceName(clip_, sources_), section);
    source->setMaximumWidth(sourceNameWidth);
    second->addWidget(source);
    // A folder is cut in its middle, to keep where it ends; counts cut there read as nonsense.
    const bool folder = clip_.kind == ClipKind::file || clip_.kind == ClipKind::other;
    auto* footer = new ElidedLabel(CardMetadata::footer(metadata_, clip_.kind), SystemFont::regular(11),
                                   TavlinTheme::secondaryText, folder ? Qt::ElideMiddle : Qt::ElideRight, section);
    footer->setObjectName(QStringLiteral("clip-footer"));
    footer->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    footer->setMinimumWidth(qMin(footer->sizeHint().width(), footerMinimumWidth));
    footer->setAlignment(Qt::AlignRight);
    second->addWidget(footer, 1);
    column->addLayout(second);
    return section;
}

QWidget* ClipPreviewPanel::buildActions()
{
    auto* actions = new QWidget(this);
    actions->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(actions);
    row->setContentsMargins(contentPadding, contentPadding, contentPadding, contentPadding);
    row->setSpacing(0);
    auto* favorite = previewPill(
        clip_.isFavorite ? QCoreApplication::translate("Tavlin", "Unfavorite")
                         : QCoreApplication::translate("Tavlin", "Favorite"),
        clip_.isFavorite ? QStringLiteral("star.fill") : QStringLiteral("star"), 8,
        [this] {
            if (onFavorite_)
                onFavorite_();
        },
        actions);
    favorite->setObjectName(QStringLiteral("favorite-clip"));
    favorite->setAccessibleName(favorite->text());
    favorite->setToolTip(favorite->text());
    favorite_ = favorite;
    row->addWidget(favorite);
    row->addStretch(1);
    row->addSpacing(8);
    copyButton_ = new CopyActionButton(
        false,
        [this] {
            if (onCopy_)
                onCopy_();
        },
        actions);
    row->addWidget(copyButton_);
    return actions;
}

void ClipPreviewPanel::applyCompactHeight()
{
    auto* scroll = static_cast<ContentScrollArea*>(scroll_);
    // Measured once for each width the panel is shown at.
    const int width = this->width() - 2 * contentPadding;
    if (width != measuredWidth_) {
        measuredWidth_ = width;
        compactHeight_ = compactContentHeight(clip_, preview_, width);
    }
    scroll->compactHeight = compactHeight_;
    scroll->setMaximumHeight(scroll->compactHeight.value_or(QWIDGETSIZE_MAX));
    // A compact area is measured to hold its content at the full width. A scroll bar shown while
    // the layout settles would narrow it, wrap the text once more and keep itself needed, so it
    // shows only where the content is known to be cut: a link at its height limit.
    const bool fits = scroll->compactHeight && *scroll->compactHeight < maximumLinkHeight;
    scroll->setVerticalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    scroll->updateGeometry();
}

void ClipPreviewPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyCompactHeight();
    fitFavoriteButton();
}

// A narrow panel keeps both actions whole: the favorite button shows its star alone, and its title
// stays its accessible name and tool tip.
void ClipPreviewPanel::fitFavoriteButton()
{
    if (!favorite_ || !copyButton_)
        return;
    const QString title = favorite_->accessibleName();
    favorite_->setText(title);
    const int needed = favorite_->sizeHint().width() + 8 + copyButton_->sizeHint().width();
    if (needed > width() - 2 * contentPadding)
        favorite_->setText(QString());
}

void ClipPreviewPanel::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    const QRectF card(rect());
    RoundedShape::fill(painter, card, 20, TavlinTheme::contentSurface.resolve(appearance));
    RoundedShape::strokeInside(painter, card, 20, TavlinTheme::border.resolve(appearance), 0.5);
}

} // namespace tavlin
