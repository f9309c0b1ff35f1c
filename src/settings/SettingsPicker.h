#pragma once

#include <QComboBox>
#include <QVariant>

namespace tavlin {

// The menu picker of a settings row: a fixed-width rounded field that opens the list of options.
// It shows the value its controller holds: a pick is only reported (picked), and the owner selects
// what the controller then publishes. The row's title is its accessible name.
class SettingsPicker : public QComboBox {
    Q_OBJECT
public:
    static constexpr int fixedWidth = 164;

    SettingsPicker(const QString& accessibleName, const QString& identifier = {}, QWidget* parent = nullptr);

    void addOption(const QString& title, const QVariant& value);
    // Shows the option of `value` without reporting a pick.
    void select(const QVariant& value);
    QVariant value() const { return currentData(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void picked(const QVariant& value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void markChosen();

    bool hovering_ = false;
};

} // namespace tavlin
