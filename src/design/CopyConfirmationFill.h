#pragma once

#include "CopyConfirmationOverlay.h"

namespace tavlin {

// The tinted fill over a row while its copy is confirmed.
class CopyConfirmationFill : public CopyConfirmationOverlay {
public:
    CopyConfirmationFill(CopyFeedback* feedback, qint64 clipID, CopyConfirmationShape shape, QWidget* parent = nullptr)
        : CopyConfirmationOverlay(Style::fill, feedback, clipID, shape, parent)
    {
    }
};

} // namespace tavlin
