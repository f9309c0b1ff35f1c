#pragma once

class QWidget;

namespace tavlin {

// How the Settings window's own painted pieces present themselves to assistive technology.
struct SettingsAccessibility {
    // A symbol or hairline that only decorates: hidden, as the text beside it says it all.
    static void markDecorative(QWidget* widget);
    // A row of the sections sidebar: a tab of the window's pages, selected while its section shows.
    static void markSectionTab(QWidget* button);
};

} // namespace tavlin
