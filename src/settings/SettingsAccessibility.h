#pragma once

class QWidget;

namespace tavlin {

// How the Settings window's own painted pieces present themselves to assistive technology.
struct SettingsAccessibility {
    // A symbol or hairline that only decorates: hidden, as the text beside it says it all.
    static void markDecorative(QWidget* widget);
    // The sections sidebar: a list of the window's page tabs. It holds the keyboard focus itself,
    // and tells assistive technology that the focus is on its selected tab.
    static void markSectionList(QWidget* sidebar);
    // A row of the sections sidebar: a tab of the window's pages, selected while its section shows.
    static void markSectionTab(QWidget* button);
    // Selects a tab or leaves it, as assistive technology sees it, and says so when that changes.
    static void selectSectionTab(QWidget* button, bool selected);
    static bool isSectionTabSelected(const QWidget* button);
    // Says that a tab was selected or left, and, while its list has the focus, that the selected
    // tab has it (the focus came to the list, or another tab was selected meanwhile).
    static void announceSectionTab(QWidget* button);
};

} // namespace tavlin
