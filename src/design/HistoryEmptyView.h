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

    Kind kind() const { return m_kind; }
    void setKind(Kind kind);

    static QString title(Kind kind);
    static QString message(Kind kind);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void crossFadeFrom(const QPixmap& previous);

    Kind m_kind;
    std::function<void()> m_onResetFilters;
    QWidget* m_content = nullptr;
    QLabel* m_title = nullptr;
    DocumentView* m_message = nullptr;
    QAbstractButton* m_resetButton = nullptr;
};

} // namespace tavlin
