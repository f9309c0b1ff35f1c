#pragma once

#include <QPushButton>

#include <functional>

namespace tavlin {

// The "Copy" capsule of the preview panel, dark in light mode and light in dark mode. It runs
// the caller's copy, answers Ctrl+C, and reads "Copied" with a check mark while the caller says
// the record has just been copied. Always 112 by 32, so its two forms never move anything.
class CopyActionButton : public QPushButton {
    Q_OBJECT
public:
    CopyActionButton(bool copied, std::function<void()> action, QWidget* parent = nullptr);

    bool isCopied() const { return copied_; }
    void setCopied(bool copied);

private:
    bool copied_;
    std::function<void()> action_;
};

} // namespace tavlin
