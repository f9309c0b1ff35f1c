#pragma once

class QString;

namespace tavlin {

class ThemedLabel;

// The title and subtitle every screen of the introduction opens with; both show texts their
// callers have already translated.
struct OnboardingText {
    // The object name of a title, by which the introduction finds its screen's heading.
    static constexpr const char* titleName = "onboarding-title";

    // Large, centred, wrapping; a heading to assistive technology.
    static ThemedLabel* title(const QString& text);
    // Secondary colour, centred, wrapping within 440 pixels and never cut short.
    static ThemedLabel* subtitle(const QString& text);
};

} // namespace tavlin
