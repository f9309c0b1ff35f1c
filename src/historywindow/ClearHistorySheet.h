#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QRadioButton;

namespace tavlin {

// The confirmation before the whole history is cleared: keep the favorites or not, how many
// records go, Cancel or Clear. Window-modal over the history window. Escape cancels; Return does
// nothing, so that a stray key never deletes. It deletes nothing itself: it calls one callback.
class ClearHistorySheet : public QDialog {
    Q_OBJECT
public:
    ClearHistorySheet(qint64 total, qint64 favorites, std::function<void()> onCancel,
                      std::function<void(bool keepingFavorites)> onClear, QWidget* parent = nullptr);

    // The counts follow the history while the sheet is up; they arrive one at a time.
    void setCounts(qint64 total, qint64 favorites);
    bool keepingFavorites() const;
    // How many records Clear deletes: never below zero, whatever order the counts came in.
    static qint64 toBeDeleted(qint64 total, qint64 favorites, bool keepingFavorites);

    static constexpr int sheetWidth = 420;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    qint64 total_;
    qint64 favorites_;
    QRadioButton* keep_ = nullptr;
    QRadioButton* deleteAll_ = nullptr;
    QLabel* count_ = nullptr;
};

} // namespace tavlin
