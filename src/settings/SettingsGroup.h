#pragma once

#include <QWidget>

class QVBoxLayout;

namespace tavlin {

// A titled card of settings rows: the title in small secondary text, then the rows on a rounded
// surface, outlined in the accent under increased contrast.
class SettingsGroup : public QWidget {
    Q_OBJECT
public:
    explicit SettingsGroup(const QString& title, QWidget* parent = nullptr);

    // Rows, separators or any other content, stacked on the card without spacing.
    void add(QWidget* content);
    void addSeparator();
    QVBoxLayout* content() const { return content_; }

private:
    QVBoxLayout* content_;
};

} // namespace tavlin
