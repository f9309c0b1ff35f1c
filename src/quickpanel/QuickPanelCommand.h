#pragma once

namespace tavlin {

// The keyboard commands of the Quick Panel; only its coordinator acts on them.
enum class QuickPanelCommand { up, down, copy, cancel, history };

} // namespace tavlin
