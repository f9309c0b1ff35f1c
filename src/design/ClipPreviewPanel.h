#pragma once

#include "Clip.h"
#include "ClipMetadata.h"
#include "ClipPreview.h"

#include <QImage>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace tavlin {

class SourceApplicationIcon;
class Workspace;

class CopyActionButton;

// The history window's preview pane: one rounded card with the selected record in full, its
// kind, time, source and size, and the actions favorite and copy; for links a button that opens
// the address, for files a block per file with buttons to open it or show it in the file
// manager. The host builds a new panel whenever its inputs change; it keeps no state.
class ClipPreviewPanel : public QWidget {
    Q_OBJECT
public:
    // `image`: the preview's image, decoded beforehand (the panel decodes nothing).
    ClipPreviewPanel(const SourceApplicationIcon& sources, const Clip& clip, const ClipPreview& preview,
                     const QImage& image, const std::optional<ClipMetadata>& metadata, bool copied,
                     std::function<void()> onCopy, std::function<void()> onFavorite, std::function<void()> onDelete,
                     QWidget* parent = nullptr);

    // The copy button's confirmed form, without a rebuild.
    void setCopied(bool copied);

    // Where the keyboard is in the panel, to be found again in the panel built to replace it: the
    // control's name, which of the controls of that name it is, and whether Tab brought it there.
    struct FocusPlace {
        QString name;
        qsizetype occurrence = 0;
        bool byKeyboard = false;
    };
    // None when the keyboard is elsewhere.
    std::optional<FocusPlace> focusPlace() const;
    // Gives the keyboard to the control at that place, as it came to the old one; false when
    // this panel has no such control.
    bool takeFocus(const FocusPlace& place);

    // The fixed height of the content area for short plain text and links at a content width;
    // none lets the content fill the card.
    static std::optional<int> compactContentHeight(const Clip& clip, const ClipPreview& preview, int width);
    // Whether there is a compact height at all, known without measuring.
    static bool hasCompactContent(const Clip& clip, const ClipPreview& preview);
    // The address an "Open in Browser" button opens: an http or https URL with a host.
    static std::optional<QUrl> webURL(const Clip& clip);
    // "Unknown source", the identifier of an application no longer installed, or its name.
    static QString sourceName(const Clip& clip, const SourceApplicationIcon& sources);
    // The type line of a file block: "File" without an extension, else "Type: PDF".
    static QString fileTypeLine(const QString& path);

    static constexpr int contentPadding = 20;
    static constexpr int compactCharacterLimit = 240;
    // File blocks are added this many at a time, as the view nears the end of those built.
    static constexpr int fileBlocksAtATime = 16;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildContent();
    QWidget* buildMetadata();
    QWidget* buildActions();
    QWidget* buildFileBlock(const QString& path, QWidget* parent);
    void addFileBlocks();
    void addFileBlocksNearEnd();
    void applyCompactHeight();
    void fitFavoriteButton();

    const SourceApplicationIcon& sources_;
    Clip clip_;
    ClipPreview preview_;
    QImage image_;
    std::optional<ClipMetadata> metadata_;
    std::function<void()> onCopy_;
    std::function<void()> onFavorite_;
    std::function<void()> onDelete_;
    QScrollArea* scroll_ = nullptr;
    // The content's column and how many of the file blocks it holds so far.
    QVBoxLayout* fileColumn_ = nullptr;
    qsizetype fileBlocks_ = 0;
    // The last control of those blocks that Tab stops at.
    QWidget* lastFileStop_ = nullptr;
    QWidget* spacer_ = nullptr;
    CopyActionButton* copyButton_ = nullptr;
    QPushButton* favorite_ = nullptr;
    // The compact height last measured, and the width it was measured at.
    int measuredWidth_ = -1;
    std::optional<int> compactHeight_;
};

} // namespace tavlin
