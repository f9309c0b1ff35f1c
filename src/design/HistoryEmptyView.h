#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QAbstractButton;

namespace tavlin {

class DocumentView;

// What fills the history area when there is nothing to list: the mascot, a title, a message,
// and for an empty search a button that resets the filters. A change of kind cross-fades.
class HistoryEmptyView : public QWidget {
    Q_OBJECT
public:
    enum class Kind { history, favorites, search };

    HistoryEmptyView(Kind kind, std::function<void()> onResetFilters, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    void setKind(Kind kind);

    static QString title(Kind kind);
    static QString message(Kind kind);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void crossFadeFrom(const QPixmap& previous);

    Kind kind_;
    std::function<void()> onResetFilters_;
    QWidget* content_ = nullptr;
    QLabel* title_ = nullptr;
    DocumentView* message_ = nullptr;
    QAbstractButton* resetButton_ = nullptr;
};

} // namespace tavlin
