#pragma once

#include "Appearance.h"
#include "Clip.h"
#include "ClipPreview.h"
#include "RichTextPresentation.h"

#include <QImage>
#include <QWidget>

namespace tavlin {

// A record's content in full, as the preview panel shows it under its header: the image, the
// rich text, a link (host large, address below), highlighted code, or plain text. Built from its
// inputs and rebuilt for new ones; it keeps nothing else.
class ClipContentView : public QWidget {
    Q_OBJECT
public:
    enum class Presentation { empty, image, richText, link, code, plainText };

    // `image`: the preview's image, decoded beforehand; null shows an image preview empty.
    ClipContentView(const Clip& clip, const ClipPreview& preview, const QImage& image, QWidget* parent = nullptr);

    Presentation presentation() const { return presentation_; }

    // The text a text preview shows: a stored placeholder in the running language, else the
    // record's own text.
    static QString displayText(const Clip& clip);
    // The host of a link record that shows as a link, else empty.
    static QString linkHost(const Clip& clip);
    // The host as a link shows it at a width: with a break allowed after each dot (and nowhere
    // else), or shortened in its middle where one of its labels alone is wider.
    static QString shownHost(const QString& host, qreal width);

    // The fonts and line spacing of plain text and of the link's address line; the preview
    // panel measures with the same.
    static QFont plainFont();
    static QFont linkHostFont();
    static QFont linkAddressFont();
    static constexpr int plainLineSpacing = 4;
    static constexpr int linkSpacing = 12;
    // Longer texts scroll in a view of their own, laid out only as far as they are shown;
    // shorter ones are laid out whole, as tall as they are, in the panel's scroll area.
    static constexpr qsizetype longTextCharacters = 8192;
    // Texts of fewer characters than this (as the user counts them) are short.
    static constexpr qsizetype shortTextCharacters = 240;
    // Whether a text is shown whole at its own height rather than in a view that scrolls it.
    static bool isShortText(const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private:
    void build();
    QWidget* buildImage();
    QWidget* buildRichText();
    void applyRichSurface();
    QWidget* buildLink(const QString& text, const QString& host);
    QWidget* buildCode(const QString& text);
    QWidget* buildPlain(const QString& text);

    Clip clip_;
    ClipPreview preview_;
    QImage image_;
    Presentation presentation_ = Presentation::empty;
    QWidget* body_ = nullptr;
    // The appearance the colours of the body were built for.
    Appearance builtFor_;
    // Known once the rich text is read.
    std::optional<RichTextPresentation::Surface> richSurface_;
};

} // namespace tavlin
