#pragma once

#include "ClipPayload.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace tavlin {

// How the X clipboard's targets (MIME names and a few X names) are presented as typed items,
// and how items are written back as targets. Pure: the X11 adapter does the transfers.
struct TargetMapping {
    static inline const QByteArray uriList = "text/uri-list";
    static inline const QByteArray passwordHint = "x-kde-passwordManagerHint";
    static inline const QByteArray gnomeCopiedFiles = "x-special/gnome-copied-files";
    // Plain text in Latin-1, as older X programs offer it.
    static inline const QByteArray latin1Text = "STRING";

    // One presented type and the targets that can give its bytes, best first.
    struct Presented {
        QString type;
        QList<QByteArray> targets;

        bool operator==(const Presented&) const = default;
    };

    // The types of everything but the file lists and the password-manager hint, in the order the
    // owner lists them. Leaves out the protocol's pseudo-targets, the legacy X text targets (but
    // STRING, Latin-1 plain text, the plain text's last source), Qt's internal image target, and
    // the image conversions an owner makes of a picture it also offers as PNG.
    static QList<Presented> presentedTypes(const QList<QByteArray>& targets);
    // The types of the image conversions presentedTypes leaves out beside a PNG, as it would
    // present them were no PNG offered; none when no PNG is.
    static QList<Presented> conversionsOfPNG(const QList<QByteArray>& targets);
    // The bytes of a presented type from those its target gave: UTF-8 for Latin-1 text, and LF
    // line ends for the text/plain family's CR LF.
    static QByteArray presentedBytes(const QByteArray& target, QByteArray bytes);

    // One representation per URL of a text/uri-list: "public.file-url" for file: URLs,
    // "public.url" for the others, with the URL's text as data. Comment and empty lines are
    // skipped.
    static QList<ClipRepresentation> urlRepresentations(const QByteArray& uriList);
    // The same for the file list of GNOME's file managers and their kin: "copy" or "cut" on the
    // first line, then one URL per line.
    static QList<ClipRepresentation> copiedFileRepresentations(const QByteArray& copiedFiles);

    // The targets, in order, that put `items` back: each type under its MIME name (first
    // occurrence wins), all URLs together as a text/uri-list, file URLs also in the form file
    // managers paste, and a concealed marker as the password-manager hint.
    static QList<std::pair<QByteArray, QByteArray>> targetsForItems(const QList<ClipItem>& items);
};

} // namespace tavlin
