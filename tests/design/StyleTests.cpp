#include "Contrast.h"
#include "DesignTestSupport.h"

#include "ButtonLook.h"
#include "ClipTypeBadge.h"
#include "TavlinStyle.h"
#include "TavlinTheme.h"
#include "ThemedWindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

QLabel* shownToolTip()
{
    QLabel* tip = nullptr;
    const bool shown = QTest::qWaitFor(
        [&] {
            for (QWidget* candidate : QApplication::topLevelWidgets()) {
                if (candidate->windowType() == Qt::ToolTip && candidate->isVisible())
                    tip = qobject_cast<QLabel*>(candidate);
            }
            return tip != nullptr;
        },
        5000);
    return shown ? tip : nullptr;
}

// Windows of their own that a dark window opens are dark too: its message, whose deleting
// button reads in red, and the tool tips of its controls.
TEST(TavlinStyle, DialogsAndToolTipsOfADarkWindowAreDark)
{
    test::ThemedWindow window(true);
    auto* control = window.hold(new QLabel(QStringLiteral("Anchor")));
    const Appearance dark = Appearance::darkAppearance();

    QMessageBox box(&window.window);
    box.setText(QStringLiteral("Delete 40 records?"));
    QPushButton* remove = box.addButton(QStringLiteral("Delete and Apply"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.palette().color(QPalette::Window), TavlinTheme::elevatedSurface.resolve(dark));
    const QImage face = remove->grab().toImage();
    bool red = false;
    for (int x = 0; x < face.width() && !red; ++x) {
        const QColor ink = face.pixelColor(x, face.height() / 2);
        red = ink.red() > 150 && ink.green() < 140;
    }
    EXPECT_TRUE(red) << "the deleting button reads in red";
    box.close();

    QToolTip::showText(control->mapToGlobal(QPoint(4, 4)), QStringLiteral("A tip"), control);
    QLabel* tip = shownToolTip();
    ASSERT_TRUE(tip);
    EXPECT_LT(tip->grab().toImage().pixelColor(3, tip->height() / 2).lightness(), 80) << "not pale yellow";
    QToolTip::hideText();
}

// A question's safe default keeps the accent look and Return whichever button has the focus:
// tabbing to the button that deletes rings it, and makes it neither the accent button nor the one
// Return presses.
TEST(TavlinStyle, FocusNeverMakesTheDeletingButtonTheDefault)
{
    test::ThemedWindow window;
    window.hold(new QLabel(QStringLiteral("Anchor")));
    QMessageBox box(&window.window);
    box.setText(QStringLiteral("Delete 40 records?"));
    QPushButton* remove = box.addButton(QStringLiteral("Delete and Apply"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QColor accent = TavlinTheme::brandAccent.resolve(Appearance::light());
    const auto seen = [](QPushButton* button, QPoint at) { return button->grab().toImage().pixelColor(at); };
    const auto isAccent = [&](const QColor& color) {
        return std::abs(color.red() - accent.red()) + std::abs(color.green() - accent.green())
            + std::abs(color.blue() - accent.blue())
            < 40;
    };
    // Inside the capsule, left of the title; and on the ring's line, outside the capsule.
    const auto filled = [&](QPushButton* button) {
        return isAccent(seen(button, {ButtonLook::focusRingOutset + 6, button->height() / 2 - 3}));
    };
    const auto ringed = [&](QPushButton* button) { return isAccent(seen(button, {0, button->height() / 2})); };

    EXPECT_FALSE(ringed(cancel)) << "the focus the question opens with is not the keyboard's";
    remove->setFocus(Qt::TabFocusReason);
    test::ThemedWindow::settle();
    EXPECT_TRUE(cancel->isDefault());
    EXPECT_FALSE(remove->isDefault());
    EXPECT_TRUE(filled(cancel)) << "the safe default keeps the accent";
    EXPECT_FALSE(filled(remove)) << "the deleting button does not take it";
    EXPECT_TRUE(ringed(remove)) << "the focused button is ringed";
    EXPECT_FALSE(ringed(cancel));

    QTest::keyClick(remove, Qt::Key_Return);
    EXPECT_EQ(box.clickedButton(), cancel);
}

// A clear check box or radio button is seen on a raised sheet, in light and in dark: the darkest
// (or lightest) pixel of its outline stands at least 3:1 against the sheet.
TEST(TavlinStyle, ClearIndicatorsStandOutOnTheirSheet)
{
    for (const bool dark : {false, true}) {
        test::ThemedWindow window(dark);
        auto* sheet = new QWidget;
        sheet->setMinimumSize(240, 80);
        sheet->setAutoFillBackground(true);
        QPalette raised = sheet->palette();
        const Appearance appearance = dark ? Appearance::darkAppearance() : Appearance::light();
        raised.setColor(QPalette::Window, TavlinTheme::elevatedSurface.resolve(appearance));
        sheet->setPalette(raised);
        auto* radio = new QRadioButton(QStringLiteral("Delete all records"), sheet);
        auto* check = new QCheckBox(QStringLiteral("Show preview"), sheet);
        check->move(0, 40);
        window.hold(sheet);
        const QImage shown = sheet->grab().toImage();
        for (QWidget* indicator : {static_cast<QWidget*>(radio), static_cast<QWidget*>(check)}) {
            const QRect box(0, indicator->y(), 20, indicator->height());
            EXPECT_GE(test::strongestContrast(shown, box, raised.color(QPalette::Window)), 3.0)
                << (dark ? "dark " : "light ") << indicator->metaObject()->className();
        }
    }
}

// One colour laid over another, as painting blends them.
QColor over(const QColor& below, const QColor& above)
{
    QImage pixel(1, 1, QImage::Format_ARGB32);
    pixel.fill(below);
    QPainter(&pixel).fillRect(pixel.rect(), above);
    return pixel.pixelColor(0, 0);
}

bool alike(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 && qAbs(a.blue() - b.blue()) <= 2;
}

// A thin edge along a shape's straight side is whole pixels of its whole colour (twice as many at a
// device pixel ratio of 2) with the fill right inside it, not a half-strength pixel of lower contrast.
TEST(TavlinStyle, ThinEdgesAreSolidPixels)
{
    using Kind = ButtonLook::Kind;
    struct Shape {
        const char* name;
        Kind kind;
        bool chosen;
        Appearance appearance;
        ThemeColor fill;
        ThemeColor edge;
        int width = 1;
    };
    const Appearance lightContrast{false, true};
    const Appearance darkContrast{true, true};
    for (const Shape& shape :
         {Shape{"chip", Kind::chip, false, {false, false}, TavlinTheme::controlSurface, TavlinTheme::controlBorder},
          Shape{"dark chip", Kind::chip, false, {true, false}, TavlinTheme::controlSurface, TavlinTheme::controlBorder},
          Shape{"chosen sidebar row", Kind::sidebarRow, true, lightContrast, TavlinTheme::selectedBackground,
                TavlinTheme::brandAccent},
          Shape{"contrast chip", Kind::chip, false, lightContrast, TavlinTheme::controlSurface,
                TavlinTheme::brandAccent, 2},
          Shape{"chosen dark contrast chip", Kind::chip, true, darkContrast, TavlinTheme::controlSelection,
                TavlinTheme::brandAccent, 2},
          Shape{"contrast pill", Kind::pill, false, lightContrast, TavlinTheme::controlFill, TavlinTheme::primaryText},
          Shape{"dark contrast pill", Kind::pill, false, darkContrast, TavlinTheme::controlFill,
                TavlinTheme::primaryText}}) {
        test::ThemedWindow window(shape.appearance.dark, shape.appearance.highContrast);
        auto* button = window.hold(ButtonLook::push(ButtonLook::withKind(shape.kind), QStringLiteral("Links")));
        button->setCheckable(true);
        button->setChecked(shape.chosen);
        const QColor behind = TavlinTheme::appBackground.resolve(shape.appearance);
        const QColor inside = over(behind, shape.fill.resolve(shape.appearance));
        const QColor edge = over(inside, shape.edge.resolve(shape.appearance));
        for (const int ratio : {1, 2}) {
            QImage image(button->size() * ratio, QImage::Format_ARGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(behind);
            button->render(&image);
            // Down from the top edge, halfway along, where the side is straight.
            const int x = image.width() / 2;
            const int solid = shape.width * ratio;
            for (int y = 0; y < solid + 2 * ratio; ++y)
                EXPECT_TRUE(alike(image.pixelColor(x, y), y < solid ? edge : inside))
                    << shape.name << " at ratio " << ratio << ", pixel " << y << ": "
                    << image.pixelColor(x, y).name().toStdString() << " for "
                    << (y < solid ? edge : inside).name().toStdString();
        }
    }
}

// Under increased contrast a kind badge's edge is a solid pixel that stands out at 3:1 from the
// card or row it lies on, chosen or not.
TEST(TavlinStyle, KindBadgeEdgeStandsOutUnderIncreasedContrast)
{
    for (const Appearance appearance : {Appearance{false, true}, Appearance{true, true}}) {
        for (const ThemeColor& card : {TavlinTheme::contentSurface, TavlinTheme::selectedBackground}) {
            const QColor below = card.resolve(appearance);
            const QSize size = ClipTypeBadge::badgeSize(ClipKind::link);
            QImage image(size, QImage::Format_ARGB32);
            image.fill(below);
            {
                QPainter painter(&image);
                ClipTypeBadge::paint(painter, QPointF(0, 0), ClipKind::link, appearance);
            }
            const QColor fill = over(below, TavlinTheme::elevatedSurface.resolve(appearance));
            const QColor edge = over(fill, TavlinTheme::contrastEdge.resolve(appearance));
            const QColor top = image.pixelColor(size.width() / 2, 0);
            const std::string where = std::string(appearance.dark ? "dark" : "light") + " on "
                + below.name().toStdString() + ": " + top.name().toStdString();
            EXPECT_TRUE(alike(top, edge)) << where;
            EXPECT_GE(test::contrast(top, below), 3.0) << where;
            EXPECT_TRUE(alike(image.pixelColor(size.width() / 2, 1), fill)) << where;
        }
    }
}

// A record's text as a tool tip starts at its first line of text and stays a readable size.
TEST(TavlinStyle, ToolTipsDropLeadingBlankLinesAndStayBounded)
{
    test::ThemedWindow window;
    auto* control = window.hold(new QLabel(QStringLiteral("Anchor")));
    const QString line = QStringLiteral("word ").repeated(60);
    QToolTip::showText(control->mapToGlobal(QPoint(4, 4)),
                       QStringLiteral("\n \n\t\nFirst\n") + (line + QLatin1Char('\n')).repeated(40), control);
    QLabel* tip = shownToolTip();
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->text().startsWith(QStringLiteral("First\n"))) << tip->text().left(20).toStdString();
    EXPECT_LE(tip->width(), TavlinStyle::toolTipWidth);
    EXPECT_LE(tip->height(), 2 * TavlinStyle::toolTipWidth);
    QToolTip::hideText();
}

// A scroll bar is a slim handle with no arrow buttons, and nothing at all where nothing scrolls.
TEST(TavlinStyle, ScrollBarsAreSlimHandlesWithoutArrows)
{
    test::ThemedWindow window;
    auto* area = window.hold(new QScrollArea, QSize(200, 200));
    auto* content = new QWidget;
    content->setFixedSize(100, 100);
    area->setWidget(content);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    test::ThemedWindow::settle();
    QScrollBar* bar = area->verticalScrollBar();
    EXPECT_EQ(bar->width(), TavlinStyle::scrollBarThickness);
    const QImage idle = bar->grab().toImage();
    for (int y = 0; y < idle.height(); y += 4)
        EXPECT_EQ(idle.pixelColor(bar->width() / 2, y), idle.pixelColor(bar->width() / 2, 0))
            << "nothing drawn, row " << y;

    content->setFixedSize(100, 1000);
    test::ThemedWindow::settle();
    // A click at the very end pages down rather than stepping a line.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 2));
    EXPECT_EQ(bar->value(), bar->pageStep());
}

} // namespace
} // namespace tavlin
