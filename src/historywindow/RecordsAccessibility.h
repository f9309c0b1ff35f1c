#pragma once

namespace tavlin {

// What assistive technology sees of the records views: the view as a list, and each card or row
// as one cell named by its record ("TEXT: first characters…"), selectable and pressable.
struct RecordsAccessibility {
    // Installs the factory once; the views call it when they are made.
    static void install();
};

} // namespace tavlin
