#include "CopyConfirmationReplaced.h"

#include "CopyFeedback.h"

#include <QVBoxLayout>

namespace tavlin {

CopyConfirmationReplaced::CopyConfirmationReplaced(CopyFeedback* feedback, qint64 clipID, QWidget* content,
                                                   QWidget* parent)
    : QWidget(parent), feedback_(feedback), clipID_(clipID), content_(content)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    QSizePolicy policy = content->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    content->setSizePolicy(policy);
    if (feedback)
        connect(feedback, &CopyFeedback::confirmationChanged, this, &CopyConfirmationReplaced::follow);
    follow();
}

void CopyConfirmationReplaced::follow()
{
    content_->setVisible(!(feedback_ && feedback_->isConfirmed(clipID_)));
}

} // namespace tavlin
