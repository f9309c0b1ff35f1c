#pragma once

#include "DocumentView.h"

namespace tavlin {

// An excerpt of a text for cards and rows: its first characters in at most a number of lines;
// code highlighted on a raised rounded surface, prose plain at the given size. Not selectable.
class ClipSnippetView : public DocumentView {
    Q_OBJECT
public:
    ClipSnippetView(const QString& text, int maximumLines, int maximumCharacters, int plainFontSize,
                    QWidget* parent = nullptr);

    bool isCode() const { return code_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void build();

    QString text_;
    int maximumCharacters_;
    int plainFontSize_;
    bool code_ = false;
};

} // namespace tavlin
