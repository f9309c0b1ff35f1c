#pragma once

#include "CopyConfirmationOverlay.h"

namespace tavlin {

// The accent outline around a row while its copy is confirmed.
class CopyConfirmationEdge : public CopyConfirmationOverlay {
public:
    CopyConfirmationEdge(CopyFeedback* feedback, qint64 clipID, CopyConfirmationShape shape, QWidget* parent = nullptr)
        : CopyConfirmationOverlay(Style::edge, feedback, clipID, shape, parent)
    {
    }
};

} // namespace tavlin
