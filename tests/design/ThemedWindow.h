#pragma once

#include "FakeSystemAppearance.h"
#include "ThemeAppearance.h"

#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>

namespace tavlin::test {

// A window in a chosen appearance holding one widget, laid out and shown offscreen, for widget
// tests and screenshots.
class ThemedWindow {
public:
    explicit ThemedWindow(bool dark = false, bool increasedContrast = false)
    {
        system.setDark(dark);
        system.setIncreasedContrast(increasedContrast);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(margin, margin, margin, margin);
        theme = new ThemeAppearance(&window, system, ThemePreference::system);
    }

    // Puts the widget in the window and lays the window out at `size`.
    template <class Widget>
    Widget* hold(Widget* widget, QSize size = {})
    {
        widget->setParent(&window);
        window.layout()->addWidget(widget);
        if (size.isValid())
            window.resize(size);
        else
            window.adjustSize();
        window.show();
        settle();
        return widget;
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    int margin = 16;
    FakeSystemAppearance system;
    QWidget window;
    ThemeAppearance* theme = nullptr;
};

} // namespace tavlin::test
