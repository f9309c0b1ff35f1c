#include "OnboardingText.h"

#include "AssistiveRoles.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemedLabel.h"

namespace tavlin {

ThemedLabel* OnboardingText::title(const QString& text)
{
    QFont font = SystemFont::regular(28, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.3);
    auto* label = new ThemedLabel(text, font, TavlinTheme::primaryText);
    label->setObjectName(QString::fromLatin1(titleName));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    AssistiveRoles::markHeading(label);
    return label;
}

ThemedLabel* OnboardingText::subtitle(const QString& text)
{
    auto* label = new ThemedLabel(text, SystemFont::regular(14), TavlinTheme::secondaryText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    // The screens are always laid out at the design's width, which leaves room for all 440.
    label->setFixedWidth(440);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}

} // namespace tavlin
