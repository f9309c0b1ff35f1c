#pragma once

#include <QPointer>
#include <QWidget>

namespace tavlin {

class CopyFeedback;

// Holds a row's content (its timestamp) and hides it while the record's copy is confirmed,
// keeping its place so that the badge can take it without moving anything.
class CopyConfirmationReplaced : public QWidget {
    Q_OBJECT
public:
    CopyConfirmationReplaced(CopyFeedback* feedback, qint64 clipID, QWidget* content, QWidget* parent = nullptr);

    QWidget* content() const { return content_; }

private:
    void follow();

    QPointer<CopyFeedback> feedback_;
    qint64 clipID_;
    QWidget* content_;
};

} // namespace tavlin
