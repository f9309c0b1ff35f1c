// A clipboard owner for the end-to-end tests, in the ways real owners behave and misbehave:
//   clipboard_owner serve TARGET=VALUE...   answers TARGETS and each target with its value (a
//                                           VALUE of @PATH: the file's bytes), all at once
//   clipboard_owner silent                  takes the clipboard and never answers, as a frozen
//                                           program: it only says what it is asked, and stays until
//                                           ended
//   clipboard_owner vanish                  answers TARGETS (text/plain), then exits on the next request
//   clipboard_owner empty                   answers TARGETS with an empty list, refuses the rest
//   clipboard_owner mute                    answers TARGETS (text/html, text/plain), never anything else
// and, with `serve`, options before the targets:
//   --class NAME               also makes a top-level window of class NAME, as an application has
//   --quit-at TARGET           exits, unanswered, when asked for TARGET
//   --quit-after TARGET        exits right after answering TARGET
//   --copy-again-at TARGET     when asked for TARGET, takes the clipboard again from the same
//                              window before it answers, as a program that makes a new copy while
//                              it still encodes the last one
//   --take-when-told           holds the server from every other client and prints "held", then
//                              takes the clipboard once a line comes on its standard input and
//                              lets the server go: a request made meanwhile reaches it after the
//                              change
//   --hand-over-at TARGET TEXT when asked for TARGET, has another owner copy TEXT, then exits
//   --targets N                also offers N targets of no known type (x-filler-1, ...)
//   --delay MS                 answers each request MS milliseconds late
//   --delay-at TARGET MS       answers requests for TARGET MS milliseconds late (more than once:
//                              one delay per target)
//   --refuse TARGET            offers TARGET, and refuses it when asked
//   --incr BYTES MS            sends every value longer than BYTES incrementally (INCR), BYTES at
//                              a time, MS milliseconds apart; a new request, or no word from the
//                              requestor for 2 s, ends the transfer (the requestor gave up)
//   --quit-after-pieces N      exits once it has sent N pieces of an incremental transfer, as a
//                              program quit in the middle of handing a picture over does
// Prints "ready" once it owns the clipboard, then "asked TARGET" for every request and "answered"
// once it has answered it; exits when it loses the clipboard.
//   clipboard_owner window NAME             a top-level window of class NAME; prints its id, then
//                                           makes it the active window on each "activate" line
#include <poll.h>
#include <unistd.h>
#include <xcb/xproto.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

xcb_connection_t* connection;
// Requests that came while an incremental transfer was under way, answered after it.
std::deque<xcb_generic_event_t*> deferred;
int quitAfterPieces = 0;

xcb_atom_t atom(const std::string& name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, name.size(), name.c_str()), nullptr);
    const xcb_atom_t result = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return result;
}

// Many atoms with one round trip: every request first, then the replies.
std::vector<xcb_atom_t> atoms(const std::vector<std::string>& names)
{
    std::vector<xcb_intern_atom_cookie_t> cookies;
    cookies.reserve(names.size());
    for (const std::string& name : names)
        cookies.push_back(xcb_intern_atom(connection, 0, name.size(), name.c_str()));
    std::vector<xcb_atom_t> result;
    result.reserve(names.size());
    for (xcb_intern_atom_cookie_t cookie : cookies) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        result.push_back(reply ? reply->atom : XCB_NONE);
        std::free(reply);
    }
    return result;
}

void notify(const xcb_selection_request_event_t* request, xcb_atom_t property)
{
    xcb_selection_notify_event_t event{};
    event.response_type = XCB_SELECTION_NOTIFY;
    event.time = request->time;
    event.requestor = request->requestor;
    event.selection = request->selection;
    event.target = request->target;
    event.property = property;
    xcb_send_event(connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

// Prints "asked TARGET".
void sayAsked(const xcb_selection_request_event_t* request)
{
    if (xcb_get_atom_name_reply_t* name = xcb_get_atom_name_reply(
            connection, xcb_get_atom_name(connection, request->target), nullptr)) {
        std::printf("asked %.*s\n", xcb_get_atom_name_name_length(name), xcb_get_atom_name_name(name));
        std::fflush(stdout);
        std::free(name);
    }
}

xcb_window_t topLevelWindow(xcb_window_t root, const std::string& windowClass)
{
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 0, 0, 100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    // Instance and class name, each ending in NUL.
    const std::string value = windowClass + '\0' + windowClass + '\0';
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, value.size(),
                        value.data());
    xcb_flush(connection);
    return window;
}

// The next event, or nothing after `timeoutMs` without one.
xcb_generic_event_t* nextEvent(int timeoutMs)
{
    while (true) {
        if (xcb_generic_event_t* event = xcb_poll_for_event(connection))
            return event;
        if (xcb_connection_has_error(connection))
            return nullptr;
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        if (::poll(&descriptor, 1, timeoutMs) <= 0)
            return nullptr;
    }
}

// Sends `value` in pieces: each one once the requestor has deleted the one before, as INCR asks.
// Returns false when this owner lost the clipboard meanwhile.
bool sendIncrementally(const xcb_selection_request_event_t* request, const std::string& value, size_t piece,
                       int intervalMs)
{
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, request->requestor, XCB_CW_EVENT_MASK, &mask);
    const uint32_t size = value.size();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property, atom("INCR"), 32, 1,
                        &size);
    notify(request, request->property);
    for (size_t offset = 0;;) {
        xcb_generic_event_t* event = nextEvent(2000);
        if (!event)
            break; // the requestor gave up
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_REQUEST) {
            // A requestor that reads one conversion at a time has moved on.
            deferred.push_back(event);
            break;
        }
        const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        const bool deleted = type == XCB_PROPERTY_NOTIFY && property->window == request->requestor
            && property->atom == request->property && property->state == XCB_PROPERTY_DELETE;
        std::free(event);
        if (type == XCB_SELECTION_CLEAR)
            return false;
        if (!deleted)
            continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
        const size_t length = std::min(piece, value.size() - offset);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property, request->target,
                            8, length, value.data() + offset);
        xcb_flush(connection);
        if (length == 0)
            break;
        offset += length;
        if (--quitAfterPieces == 0)
            std::exit(0);
    }
    const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(connection, request->requestor, XCB_CW_EVENT_MASK, &none);
    xcb_flush(connection);
    return true;
}

int activeWindowLoop(xcb_window_t root, const std::string& windowClass)
{
    const xcb_window_t window = topLevelWindow(root, windowClass);
    std::printf("%u\n", window);
    std::fflush(stdout);
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        if (std::string(line).rfind("activate", 0) != 0)
            continue;
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                            &window);
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); // applied
        std::printf("active\n");
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argv[1];
    connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 3;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (mode == "window" && argc > 2)
        return activeWindowLoop(screen->root, argv[2]);

    std::map<xcb_atom_t, std::string> values;
    std::map<xcb_atom_t, int> delaysAt;
    std::vector<xcb_atom_t> targets{atom("TARGETS")};
    xcb_atom_t quitAt = XCB_NONE;
    xcb_atom_t quitAfter = XCB_NONE;
    xcb_atom_t copyAgainAt = XCB_NONE;
    bool takeWhenTold = false;
    xcb_atom_t handOverAt = XCB_NONE;
    std::string handOverText;
    int fillerTargets = 0;
    int delayMs = 0;
    size_t incrPiece = 0;
    int incrIntervalMs = 0;
    if (mode == "serve") {
        int i = 2;
        for (; i + 1 < argc && std::string(argv[i]).rfind("--", 0) == 0; i += 2) {
            const std::string option = argv[i];
            if (option == "--take-when-told") {
                takeWhenTold = true;
                --i;
            } else if (option == "--class") {
                topLevelWindow(screen->root, argv[i + 1]);
            } else if (option == "--quit-at") {
                quitAt = atom(argv[i + 1]);
            } else if (option == "--quit-after") {
                quitAfter = atom(argv[i + 1]);
            } else if (option == "--copy-again-at") {
                copyAgainAt = atom(argv[i + 1]);
            } else if (option == "--hand-over-at" && i + 2 < argc) {
                handOverAt = atom(argv[i + 1]);
                handOverText = argv[++i + 1];
            } else if (option == "--targets") {
                fillerTargets = std::atoi(argv[i + 1]);
            } else if (option == "--refuse") {
                targets.push_back(atom(argv[i + 1]));
            } else if (option == "--delay") {
                delayMs = std::atoi(argv[i + 1]);
            } else if (option == "--delay-at" && i + 2 < argc) {
                delaysAt[atom(argv[i + 1])] = std::atoi(argv[i + 2]);
                ++i;
            } else if (option == "--quit-after-pieces") {
                quitAfterPieces = std::atoi(argv[i + 1]);
            } else if (option == "--incr" && i + 2 < argc) {
                incrPiece = std::strtoul(argv[i + 1], nullptr, 10);
                incrIntervalMs = std::atoi(argv[++i + 1]);
            }
        }
        for (; i < argc; ++i) {
            const std::string argument = argv[i];
            // A target may hold '=' itself ("text/plain;charset=utf-8"): a file value splits at "=@".
            const size_t file = argument.rfind("=@");
            const size_t equals = file != std::string::npos ? file : argument.find('=');
            const xcb_atom_t target = atom(argument.substr(0, equals));
            values[target] = argument.substr(equals + 1);
            if (values[target].rfind('@', 0) == 0) {
                std::ifstream file(values[target].substr(1), std::ios::binary);
                values[target].assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
            }
            targets.push_back(target);
        }
        std::vector<std::string> fillers;
        for (int n = 1; n <= fillerTargets; ++n)
            fillers.push_back("x-filler-" + std::to_string(n));
        for (xcb_atom_t filler : atoms(fillers))
            targets.push_back(filler);
    } else if (mode == "vanish") {
        targets.push_back(atom("text/plain"));
    } else if (mode == "mute") {
        targets.push_back(atom("text/html"));
        targets.push_back(atom("text/plain"));
    } else if (mode == "empty") {
        targets.clear();
    }

    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = atom("CLIPBOARD");
    const xcb_atom_t targetsAtom = atom("TARGETS");
    if (takeWhenTold) {
        xcb_grab_server(connection);
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        std::printf("held\n");
        std::fflush(stdout);
        char line[64];
        if (!std::fgets(line, sizeof line, stdin))
            return 5;
    }
    xcb_set_selection_owner(connection, window, clipboard, XCB_CURRENT_TIME);
    xcb_ungrab_server(connection);
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, clipboard), nullptr);
    if (!owner || owner->owner != window)
        return 4;
    std::free(owner);
    std::printf("ready\n");
    std::fflush(stdout);
    if (mode == "silent") {
        // Says what it was asked, so a test knows the reader is waiting on it, and nothing more.
        while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                sayAsked(reinterpret_cast<xcb_selection_request_event_t*>(event));
            }
            std::free(event);
        }
        while (true)
            ::pause();
    }

    const auto next = [] {
        if (deferred.empty())
            return xcb_wait_for_event(connection);
        xcb_generic_event_t* event = deferred.front();
        deferred.pop_front();
        return event;
    };
    while (xcb_generic_event_t* event = next()) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_CLEAR)
            return 0;
        if (type != XCB_SELECTION_REQUEST) {
            std::free(event);
            continue;
        }
        auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
        sayAsked(request);
        if (request->target == quitAt)
            return 0;
        if (request->target == handOverAt) {
            // The next owner takes the clipboard (this one then loses it and exits), with this
            // request never answered.
            if (::fork() == 0) {
                // Whoever reads this owner's output stops once it exits: the next one writes
                // nowhere rather than into a closed pipe.
                ::freopen("/dev/null", "w", stdout);
                const std::string text = "UTF8_STRING=" + handOverText;
                ::execl(argv[0], argv[0], "serve", text.c_str(), static_cast<char*>(nullptr));
                ::_exit(127);
            }
            handOverAt = XCB_NONE;
            std::free(event);
            continue;
        }
        if (request->target == copyAgainAt) {
            xcb_set_selection_owner(connection, window, clipboard, XCB_CURRENT_TIME);
            xcb_flush(connection);
        }
        if (delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        if (const auto delay = delaysAt.find(request->target); delay != delaysAt.end())
            std::this_thread::sleep_for(std::chrono::milliseconds(delay->second));
        if (request->target == targetsAtom && (mode != "vanish" || values.empty())) {
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property, XCB_ATOM_ATOM,
                                32, targets.size(), targets.data());
            notify(request, request->property);
            if (mode == "vanish")
                values[XCB_NONE] = "answered";
        } else if (mode == "vanish") {
            return 0;
        } else if (mode == "mute") {
            // never answers
        } else if (auto it = values.find(request->target);
                   it != values.end() && incrPiece > 0 && it->second.size() > incrPiece) {
            if (!sendIncrementally(request, it->second, incrPiece, incrIntervalMs))
                return 0;
        } else if (auto it = values.find(request->target); it != values.end()) {
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                request->target, 8, it->second.size(), it->second.data());
            notify(request, request->property);
        } else {
            notify(request, XCB_NONE);
        }
        if (mode != "mute") {
            // Once the server has acted on the answer: it drops what a closed connection left
            // unread, and a test may wait for the answer to have reached the requestor.
            std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
            std::printf("answered\n");
            std::fflush(stdout);
        }
        if (request->target == quitAfter)
            return 0;
        std::free(event);
    }
    return 0;
}
