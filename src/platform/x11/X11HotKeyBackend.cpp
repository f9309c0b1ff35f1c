#include "X11HotKeyBackend.h"

#include "QtXcb.h"

#include <QChar>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tavlin {

namespace {

// One key position: its stored key code (positional, ANSI), the evdev code of the same position on
// a PC keyboard, and the character a US layout gives it (0 for none). Where a Mac keyboard has F13,
// F14 and F15, a PC keyboard has Print, Scroll Lock and Pause, and those codes stand for them.
struct KeyPosition {
    quint32 keyCode;
    quint8 evdev;
    char16_t usCharacter;
};

constexpr KeyPosition keyPositions[] = {
    {0, 30, u'A'},   {1, 31, u'S'},  {2, 32, u'D'},  {3, 33, u'F'},  {4, 35, u'H'},   {5, 34, u'G'},  {6, 44, u'Z'},
    {7, 45, u'X'},   {8, 46, u'C'},  {9, 47, u'V'},  {10, 86, 0},    {11, 48, u'B'},  {12, 16, u'Q'}, {13, 17, u'W'},
    {14, 18, u'E'},  {15, 19, u'R'}, {16, 21, u'Y'}, {17, 20, u'T'}, {18, 2, u'1'},   {19, 3, u'2'},  {20, 4, u'3'},
    {21, 5, u'4'},   {22, 7, u'6'},  {23, 6, u'5'},  {24, 13, u'='}, {25, 10, u'9'},  {26, 8, u'7'},  {27, 12, u'-'},
    {28, 9, u'8'},   {29, 11, u'0'}, {30, 27, u']'}, {31, 24, u'O'}, {32, 22, u'U'},  {33, 26, u'['}, {34, 23, u'I'},
    {35, 25, u'P'},  {36, 28, 0},    {37, 38, u'L'}, {38, 36, u'J'}, {39, 40, u'\''}, {40, 37, u'K'}, {41, 39, u';'},
    {42, 43, u'\\'}, {43, 51, u','}, {44, 53, u'/'}, {45, 49, u'N'}, {46, 50, u'M'},  {47, 52, u'.'}, {48, 15, 0},
    {49, 57, 0},     {50, 41, u'`'}, {51, 14, 0},    {53, 1, 0},     {54, 126, 0},    {55, 125, 0},   {56, 42, 0},
    {57, 58, 0},     {58, 56, 0},    {59, 29, 0},    {60, 54, 0},    {61, 100, 0},    {62, 97, 0},    {64, 187, 0},
    {65, 83, u'.'},  {67, 55, u'*'}, {69, 78, u'+'}, {72, 115, 0},   {73, 114, 0},    {74, 113, 0},   {75, 98, u'/'},
    {76, 96, 0},     {78, 74, u'-'}, {79, 188, 0},   {80, 189, 0},   {81, 117, u'='}, {82, 82, u'0'}, {83, 79, u'1'},
    {84, 80, u'2'},  {85, 81, u'3'}, {86, 75, u'4'}, {87, 76, u'5'}, {88, 77, u'6'},  {89, 71, u'7'}, {90, 190, 0},
    {91, 72, u'8'},  {92, 73, u'9'}, {93, 124, 0},   {94, 89, 0},    {95, 95, 0},     {96, 63, 0},    {97, 64, 0},
    {98, 65, 0},     {99, 61, 0},    {100, 66, 0},   {101, 67, 0},   {102, 94, 0},    {103, 87, 0},   {104, 92, 0},
    {105, 99, 0},    {106, 186, 0},  {107, 70, 0},   {109, 68, 0},   {110, 127, 0},   {111, 88, 0},   {113, 119, 0},
    {114, 110, 0},   {115, 102, 0},  {116, 104, 0},  {117, 111, 0},  {118, 62, 0},    {119, 107, 0},  {120, 60, 0},
    {121, 109, 0},   {122, 59, 0},   {123, 105, 0},  {124, 106, 0},  {125, 108, 0},   {126, 103, 0},
};

constexpr quint32 evdevOffset = 8;
// The X keycode of the A position: a layout whose character there is Latin is a Latin layout.
constexpr xkb_keycode_t latinProbeKeycode = 30 + evdevOffset;
constexpr xcb_keysym_t numLockKeysym = 0xff7f;
constexpr quint8 badAccess = 10;

const KeyPosition* position(quint32 keyCode)
{
    for (const KeyPosition& key : keyPositions) {
        if (key.keyCode == keyCode)
            return &key;
    }
    return nullptr;
}

// Alt and Super are Mod1 and Mod4 on every desktop keymap in use.
quint16 xModifiers(quint32 bits)
{
    quint16 mask = 0;
    if (bits & ShortcutBinding::controlKey)
        mask |= XCB_MOD_MASK_CONTROL;
    if (bits & ShortcutBinding::optionKey)
        mask |= XCB_MOD_MASK_1;
    if (bits & ShortcutBinding::shiftKey)
        mask |= XCB_MOD_MASK_SHIFT;
    if (bits & ShortcutBinding::commandKey)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

// The modifier bit that Num Lock sets, read from the server's modifier mapping (usually Mod2).
quint16 numLockMask(xcb_connection_t* connection)
{
    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(xcb_key_symbols_alloc(connection),
                                                                                &xcb_key_symbols_free);
    std::unique_ptr<xcb_keycode_t, decltype(&std::free)> numLockKeys(
        symbols ? xcb_key_symbols_get_keycode(symbols.get(), numLockKeysym) : nullptr, &std::free);
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr), &std::free);
    if (!numLockKeys || !mapping)
        return 0;
    const xcb_keycode_t* modifierKeys = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t key = modifierKeys[modifier * perModifier + i];
            for (const xcb_keycode_t* numLock = numLockKeys.get(); key != 0 && *numLock != XCB_NO_SYMBOL; ++numLock) {
                if (*numLock == key)
                    return quint16(1u << modifier);
            }
        }
    }
    return 0;
}

// Waits until the server has handled everything sent so far, so that a released grab is free for
// other clients by the time we return.
void sync(xcb_connection_t* connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// The printable character of `keycode` on the base level of `layout`, uppercased.
std::optional<QString> character(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t layout)
{
    const xkb_keysym_t* symbols = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, 0, &symbols) < 1)
        return std::nullopt;
    const char32_t unicode = xkb_keysym_to_utf32(symbols[0]);
    if (unicode == 0 || !QChar::isPrint(unicode) || QChar::isSpace(unicode) || QChar::isMark(unicode))
        return std::nullopt;
    return QString::fromUcs4(&unicode, 1).toUpper();
}

bool isLatin(xkb_keymap* keymap, xkb_layout_index_t layout)
{
    const std::optional<QString> probe = character(keymap, latinProbeKeycode, layout);
    return probe && QChar::script(probe->toUcs4().value(0)) == QChar::Script_Latin;
}

std::optional<QString> layoutCharacter(xkb_keycode_t keycode)
{
    xcb_connection_t* connection = QtXcb::connection();
    if (!connection
        || !xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                        XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return std::nullopt;
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS),
                                                                       &xkb_context_unref);
    if (device < 0 || !context)
        return std::nullopt;
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_x11_keymap_new_from_device(context.get(), connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS),
        &xkb_keymap_unref);
    if (!keymap)
        return std::nullopt;
    std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(
        xkb_x11_state_new_from_device(keymap.get(), connection, device), &xkb_state_unref);
    const xkb_layout_index_t active = state ? xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE) : 0;
    if (isLatin(keymap.get(), active))
        return character(keymap.get(), keycode, active);
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts(keymap.get());
    for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
        if (layout != active && isLatin(keymap.get(), layout))
            return character(keymap.get(), keycode, layout);
    }
    return std::nullopt;
}

} // namespace

X11HotKeyBackend::X11HotKeyBackend() = default;

X11HotKeyBackend::~X11HotKeyBackend()
{
    shutdown();
}

quint32 X11HotKeyBackend::registerHotKey(const ShortcutBinding& binding)
{
    if (!binding.isValid())
        throw ShortcutError::invalid();
    if (!handlerInstalled_) {
        if (!QtXcb::connection())
            throw ShortcutError::system(QStringLiteral("xcb_grab_key: no X11 display"));
        QCoreApplication::instance()->installNativeEventFilter(this);
        handlerInstalled_ = true;
        ++handlerInstallCount_;
    }
    const quint32 id = ++nextID_;
    const std::optional<quint32> keycode = xKeycode(binding.keyCode);
    if (!keycode)
        throw ShortcutError::system(QStringLiteral("xcb_grab_key: key code %1 has no X11 key").arg(binding.keyCode));
    const quint16 modifiers = xModifiers(binding.modifiers);
    // X lets a client grab its own combination twice, and the first ungrab would then release both.
    for (const auto& [otherID, other] : registrations_) {
        if (other.keycode == *keycode && other.modifiers == modifiers)
            throw ShortcutError::conflict(
                QStringLiteral("X11 key %1 with modifiers 0x%2 is already registered by Tavlin")
                    .arg(*keycode)
                    .arg(modifiers, 0, 16));
    }
    QList<Grab> grabs = grab(quint8(*keycode), modifiers);
    registrations_.emplace(id, Registration{quint8(*keycode), modifiers, std::move(grabs)});
    return id;
}

QList<X11HotKeyBackend::Grab> X11HotKeyBackend::grab(quint8 keycode, quint16 modifiers)
{
    xcb_connection_t* connection = QtXcb::connection();
    if (!connection)
        throw ShortcutError::system(QStringLiteral("xcb_grab_key: no X11 display"));
    const quint16 numLock = numLockMask(connection);
    QList<quint16> variants;
    for (const quint16 locks :
         {quint16(0), quint16(XCB_MOD_MASK_LOCK), numLock, quint16(XCB_MOD_MASK_LOCK | numLock)}) {
        if (!variants.contains(modifiers | locks))
            variants.append(modifiers | locks);
    }

    QList<std::pair<Grab, xcb_void_cookie_t>> requests;
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection)); roots.rem > 0; xcb_screen_next(&roots)) {
        for (const quint16 variant : variants) {
            requests.append({Grab{roots.data->root, variant},
                             xcb_grab_key_checked(connection, false, roots.data->root, variant, keycode,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
        }
    }
    QList<Grab> grabbed;
    std::optional<quint8> refusal;
    for (const auto& [grab, cookie] : requests) {
        std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(xcb_request_check(connection, cookie),
                                                                         &std::free);
        if (!error)
            grabbed.append(grab);
        else if (!refusal || error->error_code == badAccess)
            refusal = error->error_code;
    }
    if (!refusal)
        return grabbed;
    ungrab(grabbed, keycode);
    if (*refusal == badAccess)
        throw ShortcutError::conflict(QStringLiteral("xcb_grab_key: BadAccess for X11 key %1 with modifiers 0x%2: "
                                                     "another program holds it")
                                          .arg(keycode)
                                          .arg(modifiers, 0, 16));
    throw ShortcutError::system(QStringLiteral("xcb_grab_key: X error %1").arg(*refusal));
}

void X11HotKeyBackend::ungrab(const QList<Grab>& grabs, quint8 keycode)
{
    xcb_connection_t* connection = QtXcb::connection();
    if (!connection || grabs.isEmpty())
        return;
    for (const Grab& grab : grabs)
        xcb_ungrab_key(connection, keycode, grab.root, grab.modifiers);
    sync(connection);
}

void X11HotKeyBackend::unregister(quint32 id)
{
    const auto it = registrations_.find(id);
    if (it == registrations_.end())
        return;
    const Registration registration = std::move(it->second);
    registrations_.erase(it);
    ungrab(registration.grabs, registration.keycode);
}

void X11HotKeyBackend::shutdown()
{
    while (!registrations_.empty())
        unregister(registrations_.begin()->first);
    if (handlerInstalled_) {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
        handlerInstalled_ = false;
    }
    heldKeycode_.reset();
}

bool X11HotKeyBackend::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_FOCUS_OUT) {
        // A key grab (ours, for as long as a hot key is held, or another client's) is reported as
        // the keyboard leaving the focused window. It has not left: a move made meanwhile comes as
        // a FocusOut of its own, and the grab's end as a FocusIn. Qt takes this one for the
        // application going inactive once its main thread is busy for a moment before the key is
        // released, which hides the history window and cancels the Quick Panel the press opens.
        return reinterpret_cast<const xcb_focus_out_event_t*>(event)->mode == XCB_NOTIFY_MODE_GRAB;
    }
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // A release has the same layout as a press.
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    // Our grabs report on the root window. A release may come to one of our own windows instead,
    // when a popup grabbed the keyboard meanwhile; it still ends the hold.
    const bool onRoot = key->event == key->root;

    if (type == XCB_KEY_RELEASE) {
        if (heldKeycode_ != key->detail)
            return false;
        heldKeycode_.reset();
        releasedKeycode_ = key->detail;
        releaseTime_ = key->time;
        return onRoot;
    }
    const quint16 state = key->state & 0xff; // without pointer buttons and the layout group
    const auto isPressed = [&](const auto& entry) {
        const Registration& registration = entry.second;
        return registration.keycode == key->detail
            && std::any_of(registration.grabs.cbegin(), registration.grabs.cend(),
                           [&](const Grab& grab) { return grab.root == key->root && grab.modifiers == state; });
    };
    if (!onRoot || std::none_of(registrations_.cbegin(), registrations_.cend(), isPressed))
        return false;
    const bool repeat = heldKeycode_ == key->detail || (releasedKeycode_ == key->detail && releaseTime_ == key->time);
    heldKeycode_ = key->detail;
    if (repeat)
        return true;
    // A receiver may shut this backend down or destroy it: touch nothing after.
    Q_EMIT pressed();
    return true;
}

std::optional<quint32> X11HotKeyBackend::xKeycode(quint32 keyCode)
{
    const KeyPosition* key = position(keyCode);
    return key ? std::optional<quint32>(key->evdev + evdevOffset) : std::nullopt;
}

std::optional<quint32> X11HotKeyBackend::keyCode(quint32 xKeycode) const
{
    for (const KeyPosition& key : keyPositions) {
        if (key.evdev + evdevOffset == xKeycode)
            return key.keyCode;
    }
    return std::nullopt;
}

std::optional<QString> X11HotKeyBackend::keyName(quint32 keyCode) const
{
    const KeyPosition* key = position(keyCode);
    if (!key)
        return std::nullopt;
    if (std::optional<QString> name = layoutCharacter(key->evdev + evdevOffset))
        return name;
    if (key->usCharacter != 0)
        return QString(QChar(key->usCharacter));
    return std::nullopt;
}

} // namespace tavlin
