#pragma once

class QAbstractButton;
class QLabel;
class QString;
class QWidget;

namespace tavlin {

// What assistive technology is told about the app's own windows, controls and ornaments, beyond
// what Qt infers from a widget's class. Each mark is given before anything asks for the widget's
// interface, which Qt then keeps.
struct AssistiveRoles {
    // A symbol, picture or hairline that only decorates: hidden, as the text beside it says it all.
    static void markDecorative(QWidget* widget);
    // One of the app's own top-level windows: it reports itself as a frame, instead of the
    // anonymous filler of a plain widget.
    static void markWindow(QWidget* window);
    // One of several choices of which one is chosen (a section, a kind, a segment): a radio
    // button, checked while it is the chosen one. Pressing it clicks it, so its owner decides.
    static void markChoice(QAbstractButton* button);
    // A button that opens a menu or a pop-up: it says so, and whether that is open now.
    static void markPopupButton(QAbstractButton* button);
    // Whether its pop-up is open now. A pop-up window given here (not a menu) is found inside the
    // button while it shows: Qt leaves pop-up windows out of the application's windows, so that
    // assistive technology could not reach it by walking down from the window it opened over.
    static void setPopupOpen(QAbstractButton* button, bool open, QWidget* popup = nullptr);
    // The new name of a button just renamed (a toggle that names what it does next, a Continue
    // that becomes Get Started) while the keyboard is on it, for the window's Announcer to say: a
    // reader there hears nothing of it otherwise, as Orca says no name change from Qt 6.4's bridge
    // nor anything of a focus event on the object it is on. Empty where the keyboard is elsewhere,
    // as the focus coming to the button will say its name.
    static QString unheardName(const QAbstractButton* button);
    // The title of a window, pane or screen: a heading, so that a reader can jump to it.
    static void markHeading(QLabel* label);
    // The line at the foot of a window that tells how things stand (a count, key hints): the
    // window's status bar, named by its text when it is a label. A reader reads it on request,
    // and speaks a notification inside it (an Announcer) as its text alone.
    static void markStatusBar(QWidget* widget);
};

} // namespace tavlin
