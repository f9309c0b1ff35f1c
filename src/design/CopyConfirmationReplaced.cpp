#include "CopyConfirmationReplaced.h"

#include "CopyFeedback.h"

#include <QVBoxLayout>

namespace tavlin {

CopyConfirmationReplaced::CopyConfirmationReplaced(CopyFeedback* feedback, qint64 clipID, QWidget* content,
                                                   QWidget* parent)
    : QWidget(parent)
    , m_feedback(feedback)
    , m_clipID(clipID)
    , m_content(content)
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
    m_content->setVisible(!(m_feedback && m_feedback->isConfirmed(m_clipID)));
}

} // namespace tavlin
