#pragma once

#include "Appearance.h"
#include "Clip.h"
#include "ConfirmationAnimation.h"
#include "CopyConfirmationShape.h"
#include "FirstLines.h"
#include "RecordPresentation.h"
#include "SourceApplicationIcon.h"

#include <QCache>
#include <QDateTime>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QRectF>
#include <QRegion>
#include <QSizeF>

#include <memory>
#include <optional>

class QFontMetricsF;
class QPainter;
class QTextDocument;

namespace tavlin {

// One record drawn where the history window lists it: the compact form of a list row, or the
// card form of a grid card. Painted, not built from widgets, so that a view of a thousand records
// costs a paint per visible one.
struct HistoryRowContent {
    // The lines a view's rows or cards show of their texts, kept for its next paints: a view
    // repaints a record on every selection, hover and copy confirmation, and shaping a text of
    // colour emoji again takes milliseconds. Lines in formats of their own are not kept.
    class Excerpts {
    public:
        struct Key {
            QString text;
            QFont font;
            QSizeF size;
            int lines = 0;
            Qt::TextElideMode elide = Qt::ElideRight;
            bool operator==(const Key&) const = default;
            friend size_t qHash(const Key& key, size_t seed)
            {
                return qHashMulti(seed, key.text, key.font, key.size.width(), key.size.height(), key.lines,
                                  int(key.elide));
            }
        };
        struct Excerpt {
            FirstLines lines;
            // How many of them fit, and their height.
            int shown = 0;
            qreal height = 0;
            // The last line shown as drawn when it is cut: elided, laid out on its own.
            std::optional<FirstLines> elided;
        };

        // The excerpt kept for `key`, or made by `make` and kept. A single line laid out from the
        // left that shows whole reads the same in any width it fits, and is kept once for them all:
        // a title given less room by the age beside it widening is not laid out again.
        template <class Make>
        const Excerpt& get(Key key, Make make, bool fromTheLeft = false)
        {
            Key anyWidth = key;
            anyWidth.size.setWidth(-1);
            const bool single = fromTheLeft && key.lines == 1;
            if (const Excerpt* kept = single ? kept_.object(anyWidth) : nullptr;
                kept && kept->lines.lineAt(0).naturalTextWidth() <= key.size.width())
                return *kept;
            if (const Excerpt* kept = kept_.object(key))
                return *kept;
            auto* made = new Excerpt(make());
            const bool whole = single && made->shown == 1 && made->lines.lineCount() == 1 && !made->elided;
            kept_.insert(whole ? std::move(anyWidth) : std::move(key), made);
            return *made;
        }
        // How many are kept.
        qsizetype size() const { return kept_.size(); }

    private:
        // The rows or cards of a few screens.
        QCache<Key, Excerpt> kept_{160};
    };

    struct Input {
        Clip clip;
        // Made once per record by the records model.
        RecordPresentation shown;
        std::shared_ptr<const SourceApplicationIcon::Value> source;
        // Where a file's type icon comes from; none draws "doc".
        const SourceApplicationIcon* icons = nullptr;
        bool compact = true;
        // The copy confirmation: how far it shows on this record.
        ConfirmationAnimation::State confirmation;
        CopyConfirmationShape feedbackShape = CopyConfirmationShape::listRow;
        Appearance appearance;
        QDateTime now;
        // Where the view keeps what it drew of texts; none draws them afresh.
        Excerpts* excerpts = nullptr;
        // What the view repaints, in the painter's coordinates: what lies wholly outside it is
        // neither laid out nor drawn, so that an age moving on costs the age alone. Empty: all.
        QRegion exposed;
    };

    static void paint(QPainter& painter, const QRectF& bounds, const Input& input);
    // Where the "Copied" badge stands in a row (compact) or a card of these bounds.
    static QRectF badgeRect(const QRectF& bounds, bool compact);
    // What a row (compact) or a card of these bounds draws otherwise when its age reads `after`
    // instead of `before`: the age's place alone while the two are as wide, and with it what
    // stands beside the age when that gives way to another width.
    static QRectF ageChangeRect(const QRectF& bounds, bool compact, const QString& before, const QString& after);

    // The text with every line break as the separator QTextLayout breaks lines at, keeping its
    // length (so that format ranges still fit).
    static QString withLineSeparators(QString text);
    // The source name and the detail (counts, size or folder) of a footer `available` wide, as
    // drawn: the detail keeps its width and the name gives way; counts that do not fit beside a
    // short name take the whole line, the icon alone standing for the source, rather than be cut
    // into nonsense. A file's folder takes at most 60% and is cut in its middle. A name that would
    // be cut beside the detail but fits whole beside `shorterDetail` (fewer counts) shows whole.
    static std::pair<QString, QString> footerTexts(const QFont& font, const QString& name, const QString& detail,
                                                   qreal available, bool fileLike,
                                                   const QString& shorterDetail = QString());
};

} // namespace tavlin
