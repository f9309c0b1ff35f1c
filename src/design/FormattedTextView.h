#pragma once

#include "DocumentView.h"
#include "RichTextPresentation.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tavlin {

// Rich text (RTF or flat RTFD) with the fonts, colours and paragraphs of its source, on a
// rounded surface chosen from its ink: white under mostly dark ink, a dark surface under mostly
// light ink, else the theme's rich-text background. Bytes that don't read leave it empty.
class FormattedTextView : public DocumentView {
    Q_OBJECT
public:
    FormattedTextView(const QByteArray& data, const QString& type, qint64 maximumCharacters,
                      std::optional<int> maximumLines, bool selectable, QWidget* parent = nullptr);

    bool isEmpty() const { return !surface_; }
    std::optional<RichTextPresentation::Surface> surface() const { return surface_; }

    // The colour of a surface in an appearance.
    static QColor surfaceColor(RichTextPresentation::Surface surface, const Appearance& appearance);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applySurface();

    std::optional<RichTextPresentation::Surface> surface_;
};

} // namespace tavlin
