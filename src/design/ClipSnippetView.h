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

    bool isCode() const { return m_code; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void build();

    QString m_text;
    int m_maximumCharacters;
    int m_plainFontSize;
    bool m_code = false;
};

} // namespace tavlin
