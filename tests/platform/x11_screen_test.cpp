#include <gtest/gtest.h>

#include "platform/x11_screen_source.h"
#include "tests/private_xvfb.h"

// X11 defines macros (None, Status...) that clash with GoogleTest; it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace platform {
namespace {

std::string FindXvfb() {
    for (const char* p : {"/usr/bin/Xvfb", "/usr/local/bin/Xvfb"}) {
        if (access(p, X_OK) == 0) return p;
    }
    return {};
}

// Starts a private Xvfb on a free display number for the whole suite.
class XvfbTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string xvfb = FindXvfb();
        if (xvfb.empty()) return;
        pid_t pid = 0;
        const std::string name = seatwatch_test::StartPrivateXvfb("640x480x24", pid, false, xvfb.c_str());
        pid_ = pid > 0 ? pid : -1;
        if (name.empty()) {
            if (pid_ > 0) {
                kill(pid_, SIGTERM);
                waitpid(pid_, nullptr, 0);
            }
            pid_ = -1;
            return;
        }
        for (int i = 0; i < 100; ++i) {
            if (Display* d = XOpenDisplay(name.c_str())) {
                // Kept open for the suite, so the server always has a client.
                keepAlive_ = d;
                display_ = name;
                return;
            }
            usleep(50000);
        }
    }
    static void TearDownTestSuite() {
        if (keepAlive_ != nullptr) XCloseDisplay(keepAlive_);
        keepAlive_ = nullptr;
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    void SetUp() override {
        if (FindXvfb().empty()) GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
    }

    // Maps a window titled title (optionally inside a frame, as a window
    // manager would do) and paints a known pattern into it.
    static Window MapWindow(Display* d, const std::string& title, bool framed, int x, int y) {
        const Window root = DefaultRootWindow(d);
        Window parent = root;
        int cx = x, cy = y;
        if (framed) {
            parent = XCreateSimpleWindow(d, root, x, y, 120, 100, 0, 0, 0x333333);
            XMapWindow(d, parent);
            cx = 5;
            cy = 25;
        }
        const Window w = XCreateSimpleWindow(d, parent, cx, cy, 100, 60, 0, 0, 0x000000);
        XStoreName(d, w, "fallback");
        const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
        XChangeProperty(d, w, netName, XInternAtom(d, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
        if (framed) {
            const long state[2] = {1, 0};
            const Atom wmState = XInternAtom(d, "WM_STATE", False);
            XChangeProperty(d, w, wmState, wmState, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(state), 2);
        }
        XMapWindow(d, w);
        XSync(d, False);
        GC gc = XCreateGC(d, w, 0, nullptr);
        for (int py = 0; py < 60; ++py) {
            for (int px = 0; px < 100; ++px) {
                XSetForeground(d, gc, (static_cast<unsigned long>(px) << 16) | (static_cast<unsigned long>(py) << 8) | 0x7F);
                XDrawPoint(d, w, gc, px, py);
            }
        }
        XFreeGC(d, gc);
        XSync(d, False);
        return w;
    }

    static inline pid_t pid_ = -1;
    static inline Display* keepAlive_ = nullptr;
    static inline std::string display_;
};

TEST_F(XvfbTest, FindsWindowsByTitleAndCapturesExactBytes) {
    Display* d = XOpenDisplay(display_.c_str());
    ASSERT_NE(d, nullptr);
    const std::string title = "Table \xC3\x9C" "ber 1";
    const Window plain = MapWindow(d, title, false, 30, 40);
    const Window framed = MapWindow(d, "Framed table", true, 200, 100);

    X11ScreenSource screen(display_);
    ASSERT_TRUE(screen.Available());
    const auto windows = screen.TopLevelWindows();
    ASSERT_GE(windows.size(), 2u);
    EXPECT_EQ(windows[0].title, "Framed table") << "top of the Z order first";
    EXPECT_EQ(windows[0].id, framed);
    EXPECT_EQ(windows[0].windowRect, (Rect{200, 100, 320, 200}));
    EXPECT_EQ(windows[0].clientRect, (Rect{205, 125, 305, 185}));
    EXPECT_EQ(windows[1].title, title);
    EXPECT_EQ(windows[1].id, plain);
    EXPECT_TRUE(windows[1].visible);
    EXPECT_EQ(windows[1].clientRect, (Rect{30, 40, 130, 100}));

    for (const Window w : {plain, framed}) {
        const Bitmap32 cap = screen.CaptureClient(w, Rect{2, 3, 5, 5});
        ASSERT_EQ(cap.Width(), 3);
        ASSERT_EQ(cap.Height(), 2);
        std::vector<std::uint8_t> expected;
        for (int y = 3; y < 5; ++y) {
            for (int x = 2; x < 5; ++x) {
                expected.insert(expected.end(), {0x7F, static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x), 0});
            }
        }
        EXPECT_EQ(cap.Bytes(), expected);
    }
    EXPECT_EQ(screen.CaptureClient(plain, Rect{98, 58, 200, 200}).Width(), 2) << "clipped to the client area";
    EXPECT_TRUE(screen.CaptureClient(0x7FFFFFF, Rect{0, 0, 5, 5}).Empty()) << "a vanished window";

    ASSERT_TRUE(screen.MoveWindow(plain, Rect{10, 20, 90, 70}));
    EXPECT_EQ(screen.Describe(plain)->windowRect, (Rect{10, 20, 90, 70}));
    XDestroyWindow(d, plain);
    XSync(d, False);
    EXPECT_FALSE(screen.Describe(plain));
    XCloseDisplay(d);
}

TEST(X11ScreenSourceNoDisplay, ReportsNoScreen) {
    const char* old = std::getenv("DISPLAY");
    const std::string saved = old != nullptr ? old : "";
    unsetenv("DISPLAY");
    X11ScreenSource screen;
    EXPECT_FALSE(screen.Available());
    EXPECT_TRUE(screen.TopLevelWindows().empty());
    EXPECT_TRUE(screen.CaptureClient(1, Rect{0, 0, 1, 1}).Empty());
    if (old != nullptr) setenv("DISPLAY", saved.c_str(), 1);
}

}  // namespace
}  // namespace platform
