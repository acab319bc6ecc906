#include "platform/x11_screen_source.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/log.h"

namespace platform {

namespace {

// Windows of other programs can disappear between two requests; X reports
// that as an error, which by default ends the process. Our handler records it
// instead, and the caller treats the window as gone.
thread_local bool gXError = false;

int IgnoreXError(Display*, XErrorEvent*) {
    gXError = true;
    return 0;
}

void InstallErrorHandler() {
    static std::once_flag once;
    std::call_once(once, [] { XSetErrorHandler(IgnoreXError); });
}

// Runs request with errors recorded; returns true when no error occurred.
template <typename F>
bool Checked(Display* d, F&& request) {
    gXError = false;
    request();
    XSync(d, False);
    return !gXError;
}

bool HasProperty(Display* d, Window w, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(d, w, property, 0, 0, False, AnyPropertyType, &type,
                                          &format, &count, &after, &data);
    if (data != nullptr) XFree(data);
    return status == Success && type != None;
}

std::vector<Window> Children(Display* d, Window w) {
    Window root = 0, parent = 0;
    Window* kids = nullptr;
    unsigned int n = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &parent, &kids, &n) != 0 && kids != nullptr)
        out.assign(kids, kids + n);
    if (kids != nullptr) XFree(kids);
    return out;
}

// Depth-first search for the first descendant carrying WM_STATE.
Window FindClient(Display* d, Window w, Atom wmState, int depth) {
    if (depth > 8) return 0;
    for (Window child : Children(d, w)) {
        if (HasProperty(d, child, wmState)) return child;
    }
    for (Window child : Children(d, w)) {
        if (Window found = FindClient(d, child, wmState, depth + 1)) return found;
    }
    return 0;
}

std::string Latin1ToUtf8(const unsigned char* s, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace

X11ScreenSource::X11ScreenSource(const std::string& displayName) {
    const char* env = std::getenv("DISPLAY");
    if (displayName.empty() && (env == nullptr || *env == '\0')) return;
    InstallErrorHandler();
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display_ == nullptr)
        Log::Write("Screen: cannot open X display " +
                   (displayName.empty() ? std::string(env) : displayName));
}

X11ScreenSource::~X11ScreenSource() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

std::string X11ScreenSource::Title(unsigned long window) {
    Display* d = display_;
    const Atom netWmName = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, window, netWmName, 0, 4096, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && type == utf8 && format == 8) {
        std::string title(reinterpret_cast<char*>(data), count);
        XFree(data);
        return title;
    }
    if (data != nullptr) XFree(data);
    XTextProperty prop{};
    if (XGetWMName(d, window, &prop) == 0 || prop.value == nullptr) return {};
    std::string title;
    if (prop.encoding == XA_STRING && prop.format == 8) {
        title = Latin1ToUtf8(prop.value, prop.nitems);
    } else if (prop.encoding == utf8 && prop.format == 8) {
        title.assign(reinterpret_cast<char*>(prop.value), prop.nitems);
    } else {
        char** list = nullptr;
        int n = 0;
        if (Xutf8TextPropertyToTextList(d, &prop, &list, &n) >= Success && list != nullptr) {
            if (n > 0 && list[0] != nullptr) title = list[0];
            XFreeStringList(list);
        }
    }
    XFree(prop.value);
    return title;
}

unsigned long X11ScreenSource::ClientOf(unsigned long frame) {
    const Atom wmState = XInternAtom(display_, "WM_STATE", False);
    if (HasProperty(display_, frame, wmState)) return frame;
    const Window client = FindClient(display_, frame, wmState, 0);
    return client != 0 ? client : frame;
}

unsigned long X11ScreenSource::TopLevelOf(unsigned long window) {
    const Window root = DefaultRootWindow(display_);
    Window w = window;
    for (int depth = 0; depth < 16 && w != 0 && w != root; ++depth) {
        Window r = 0, parent = 0;
        Window* kids = nullptr;
        unsigned int n = 0;
        if (XQueryTree(display_, w, &r, &parent, &kids, &n) == 0) return 0;
        if (kids != nullptr) XFree(kids);
        if (parent == root) return w;
        w = parent;
    }
    return 0;
}

std::optional<ScreenWindow> X11ScreenSource::DescribePair(unsigned long frame,
                                                          unsigned long client) {
    Display* d = display_;
    XWindowAttributes fa{}, ca{};
    Window child = 0;
    int cx = 0, cy = 0;
    const bool ok = Checked(d, [&] {
        XGetWindowAttributes(d, frame, &fa);
        XGetWindowAttributes(d, client, &ca);
        XTranslateCoordinates(d, client, DefaultRootWindow(d), 0, 0, &cx, &cy, &child);
    });
    if (!ok) return std::nullopt;
    ScreenWindow w;
    w.id = client;
    w.title = Title(client);
    w.visible = fa.map_state == IsViewable && ca.map_state == IsViewable;
    w.windowRect =
        Rect::FromSize(fa.x, fa.y, fa.width + 2 * fa.border_width, fa.height + 2 * fa.border_width);
    w.clientRect = Rect::FromSize(cx, cy, ca.width, ca.height);
    return w;
}

std::vector<ScreenWindow> X11ScreenSource::TopLevelWindows() {
    std::vector<ScreenWindow> out;
    if (display_ == nullptr) return out;
    std::vector<Window> frames = Children(display_, DefaultRootWindow(display_));
    // XQueryTree lists bottom to top; we report top first.
    for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
        if (auto w = DescribePair(*it, ClientOf(*it))) out.push_back(std::move(*w));
    }
    return out;
}

std::optional<ScreenWindow> X11ScreenSource::Describe(ScreenWindowId id) {
    if (display_ == nullptr) return std::nullopt;
    const unsigned long frame = TopLevelOf(static_cast<Window>(id));
    if (frame == 0) return std::nullopt;
    return DescribePair(frame, static_cast<Window>(id));
}

std::optional<ScreenWindowId> X11ScreenSource::ForegroundWindow() {
    if (display_ == nullptr) return std::nullopt;
    Display* d = display_;
    const Atom active = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, DefaultRootWindow(d), active, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && type == XA_WINDOW && format == 32 && count == 1) {
        const Window w = *reinterpret_cast<Window*>(data);
        XFree(data);
        if (w != 0) return static_cast<ScreenWindowId>(w);
    } else if (data != nullptr) {
        XFree(data);
    }
    // Without a window manager, the focus window leads to its top level.
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    if (focus == None || focus == PointerRoot) return std::nullopt;
    const unsigned long top = TopLevelOf(focus);
    if (top == 0) return std::nullopt;
    return static_cast<ScreenWindowId>(ClientOf(top));
}

Bitmap32 X11ScreenSource::CaptureClient(ScreenWindowId id, const Rect& rect) {
    if (display_ == nullptr) return {};
    Display* d = display_;
    XWindowAttributes attrs{};
    if (!Checked(d, [&] { XGetWindowAttributes(d, static_cast<Window>(id), &attrs); }) ||
        attrs.map_state != IsViewable) {
        return {};
    }
    const Rect r = rect.Intersect(Rect{0, 0, attrs.width, attrs.height});
    if (r.Empty()) return {};
    XImage* image = nullptr;
    Checked(d, [&] {
        image =
            XGetImage(d, static_cast<Window>(id), r.left, r.top, static_cast<unsigned>(r.Width()),
                      static_cast<unsigned>(r.Height()), AllPlanes, ZPixmap);
    });
    if (image == nullptr) return {};
    Bitmap32 out(r.Width(), r.Height());
    std::vector<std::uint8_t>& bytes = out.Bytes();
    const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                        image->red_mask == 0xFF0000 && image->green_mask == 0x00FF00 &&
                        image->blue_mask == 0x0000FF;
    for (int y = 0; y < r.Height(); ++y) {
        std::uint8_t* row =
            bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(r.Width()) * 4u;
        if (direct) {
            std::memcpy(row, image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line,
                        static_cast<std::size_t>(r.Width()) * 4u);
            for (int x = 0; x < r.Width(); ++x) row[x * 4 + 3] = 0;
            continue;
        }
        // Other visuals: take each pixel apart with the image's masks.
        for (int x = 0; x < r.Width(); ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const auto channel = [p](unsigned long mask) -> std::uint8_t {
                if (mask == 0) return 0;
                int shift = 0;
                while (((mask >> shift) & 1u) == 0) ++shift;
                const unsigned long max = mask >> shift;
                return static_cast<std::uint8_t>((((p & mask) >> shift) * 255u + max / 2) / max);
            };
            row[x * 4 + 0] = channel(image->blue_mask);
            row[x * 4 + 1] = channel(image->green_mask);
            row[x * 4 + 2] = channel(image->red_mask);
            row[x * 4 + 3] = 0;
        }
    }
    XDestroyImage(image);
    return out;
}

bool X11ScreenSource::MoveWindow(ScreenWindowId id, const Rect& windowRect) {
    if (display_ == nullptr) return false;
    const auto current = Describe(id);
    if (!current) return false;
    // The request is for the window rectangle; the client gets the same
    // frame margins it has now.
    const int extraWidth = current->windowRect.Width() - current->clientRect.Width();
    const int extraHeight = current->windowRect.Height() - current->clientRect.Height();
    const int width = std::max(1, windowRect.Width() - extraWidth);
    const int height = std::max(1, windowRect.Height() - extraHeight);
    return Checked(display_, [&] {
        XMoveResizeWindow(display_, static_cast<Window>(id), windowRect.left, windowRect.top,
                          static_cast<unsigned>(width), static_cast<unsigned>(height));
    });
}

}  // namespace platform
