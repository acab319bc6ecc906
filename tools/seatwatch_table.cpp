// seatwatch-table: a poker table window for testing the card readers and for
// measuring layouts. It opens an X11 window titled as the room's client
// titles the table, and draws the table in the geometry of one of our layouts
// with card images of our own: the user's pocket cards, the board, card
// backs before the opponents and the status region.
//
//   seatwatch-table --room CODE --art DIR [--table NAME] [--theme 2]
//                   [--layouts FILE] [--cards "Ah Kd 7c 8c 9c"] [--state LIST]
//   seatwatch-table --write-art DIR
//   seatwatch-table --room CODE --art DIR ... --snapshot FILE.png
//
// --write-art writes the artwork: DIR/program (the sheets shipped in the
// program's folder) and DIR/client (every client family's own files).
// --snapshot writes the table as a PNG instead of opening a window, to lay
// over a screenshot of a client's table when measuring a layout: the whole
// window at its default size, frame included, in the layout's coordinates. While
// the window is open, commands on standard input change it; each is answered
// by "ok" or "error: ..." on standard output once the window shows it:
//
//   cards LIST     the cards, as --cards
//   state LIST     the state, as --state (status, dealt, seat=K, size=J,
//                  opponents=N, four-colour, dark, raised, plain)
//   title TEXT     a new window title
//   resize W H     resizes the window; the table is stretched, as clients do
//   hide | show    unmaps or maps the window (a minimised table)
//   quit           closes the window and ends
//
// The first line printed is "window 0x<id>" once the window is mapped.

#include <poll.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "tablereader/auto_reader_base.h"
#include "tablereader/card_art.h"
#include "tablereader/table_layout.h"
#include "tablereader/table_titles.h"
#include "tablereader/test_table_scene.h"
#include "tools/tool_command_line.h"

// X11 last: its macros clash with names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

class TableWindow {
  public:
    TableWindow(Display* d, int width, int height) : d_(d), width_(width), height_(height) {
        const int screen = DefaultScreen(d);
        XVisualInfo info{};
        if (XMatchVisualInfo(d, screen, 24, TrueColor, &info) == 0) {
            ok_ = false;
            return;
        }
        visual_ = info.visual;
        XSetWindowAttributes attrs{};
        attrs.colormap = XCreateColormap(d, RootWindow(d, screen), visual_, AllocNone);
        attrs.background_pixel = 0;
        attrs.border_pixel = 0;
        window_ = XCreateWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), 0, 24, InputOutput, visual_,
                                CWColormap | CWBackPixel | CWBorderPixel, &attrs);
        XSelectInput(d, window_, ExposureMask | StructureNotifyMask);
        gc_ = XCreateGC(d, window_, 0, nullptr);
        deleteAtom_ = XInternAtom(d, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(d, window_, &deleteAtom_, 1);
    }
    ~TableWindow() {
        if (window_ != 0) {
            XFreeGC(d_, gc_);
            XDestroyWindow(d_, window_);
            XSync(d_, False);
        }
    }
    bool Ok() const { return ok_; }
    Window Id() const { return window_; }
    Atom DeleteAtom() const { return deleteAtom_; }

    void SetTitle(const std::string& title) {
        XStoreName(d_, window_, title.c_str());
        XChangeProperty(d_, window_, XInternAtom(d_, "_NET_WM_NAME", False),
                        XInternAtom(d_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
    }
    void Show(bool show) {
        if (show)
            XMapRaised(d_, window_);
        else
            XUnmapWindow(d_, window_);
        XSync(d_, False);
    }
    void Resize(int width, int height) {
        XResizeWindow(d_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XSync(d_, False);
    }
    void SetSize(int width, int height) {
        width_ = width;
        height_ = height;
    }
    // Draws picture stretched to the window's size and waits until the
    // server has it.
    void Draw(const platform::Bitmap32& picture) {
        const platform::Bitmap32 shown = Stretch(picture, width_, height_);
        if (shown.Empty()) return;
        std::vector<std::uint8_t> bytes = shown.Bytes();
        XImage* image =
            XCreateImage(d_, visual_, 24, ZPixmap, 0, reinterpret_cast<char*>(bytes.data()),
                         static_cast<unsigned>(shown.Width()),
                         static_cast<unsigned>(shown.Height()), 32, shown.Width() * 4);
        if (image == nullptr) return;
        XPutImage(d_, window_, gc_, image, 0, 0, 0, 0, static_cast<unsigned>(shown.Width()),
                  static_cast<unsigned>(shown.Height()));
        image->data = nullptr;  // the bytes are ours
        XDestroyImage(image);
        XSync(d_, False);
    }

  private:
    Display* d_;
    Visual* visual_ = nullptr;
    Window window_ = 0;
    GC gc_{};
    Atom deleteAtom_ = 0;
    int width_, height_;
    bool ok_ = true;
};

// The layouts installed beside the tool (../share/seatwatch), else those of
// the source tree it was built from.
std::string DefaultLayouts(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const fs::path base = ec ? fs::path(argv0).parent_path() : self.parent_path();
    const fs::path installed = base.parent_path() / "share" / "seatwatch" / "table_layouts.ini";
    if (fs::exists(installed, ec)) return installed.string();
    return (fs::path(SEATWATCH_SOURCE_ASSETS) / "table_layouts.ini").string();
}

void Reply(const std::string& line) { std::cout << line << std::endl; }

// The table as the whole window at its default size: a plain title bar and
// borders around the client area, which sits at (3, frame). The layouts are
// measured in these coordinates, so the picture lies exactly over a
// screenshot of a client's window taken with its frame.
platform::Bitmap32 FramedPicture(const TableLayout& layout, const platform::Bitmap32& client) {
    platform::Bitmap32 out(layout.windowWidth, layout.windowHeight);
    for (int y = 0; y < out.Height(); ++y) {
        for (int x = 0; x < out.Width(); ++x) {
            const int cx = x - 3, cy = y - layout.frameHeight;
            if (cx >= 0 && cy >= 0 && cx < client.Width() && cy < client.Height()) {
                const std::uint32_t p = client.Pixel(cx, cy);
                out.SetPixel(x, y, static_cast<std::uint8_t>(p >> 16),
                             static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p));
            } else if (y < layout.frameHeight) {
                out.SetPixel(x, y, 0x2a, 0x4d, 0x8a);  // title bar
            } else {
                out.SetPixel(x, y, 0xc0, 0xc0, 0xc0);  // border
            }
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Opens a poker table window drawn in one of our table layouts, for testing "
        "the card readers and for measuring layouts.",
        "seatwatch-table"};
    app.set_version_flag("--version", tools::ToolVersion("seatwatch-table"));
    int room = 113, theme = 1;
    std::string table = "Aurora", art, layoutsPath = DefaultLayouts(argv[0]), cardsText, stateText,
                writeArt, snapshot;
    app.add_option("--room", room, "Room code of the client to imitate (100 to 121)")
        ->type_name("CODE");
    app.add_option("--theme", theme, "Table theme, 1 or 2")->type_name("N");
    app.add_option("--table", table, "Table name, put into the window title")->type_name("NAME");
    app.add_option("--art", art, "Artwork folder written by --write-art")->type_name("DIR");
    app.add_option("--layouts", layoutsPath, "Table layout file")->type_name("FILE");
    app.add_option("--cards", cardsText, "Pocket cards then board cards, \"--\" for none")
        ->type_name("LIST");
    app.add_option("--state", stateText, "Comma-separated table state")->type_name("LIST");
    app.add_option("--write-art", writeArt, "Write the artwork into DIR and end")->type_name("DIR");
    app.add_option("--snapshot", snapshot, "Write the table to a PNG file and end")
        ->type_name("FILE");
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto outcome = tools::ParseToolArguments(app, args,
                                                   {{"--room", "a room code"},
                                                    {"--theme", "a theme number"},
                                                    {"--table", "a table name"},
                                                    {"--art", "a folder"},
                                                    {"--layouts", "a file"},
                                                    {"--cards", "a card list"},
                                                    {"--state", "a state list"},
                                                    {"--write-art", "a folder"},
                                                    {"--snapshot", "a file"}},
                                                   error);
    if (outcome == tools::ParseOutcome::kHelp) {
        std::cout << app.help();
        return 0;
    }
    if (outcome == tools::ParseOutcome::kVersion) {
        std::cout << tools::ToolVersion("seatwatch-table") << "\n";
        return 0;
    }
    if (outcome == tools::ParseOutcome::kError) {
        std::cerr << "seatwatch-table: " << error << "\n";
        return 2;
    }

    if (!writeArt.empty()) {
        using tablereader::ClientArt;
        bool ok = tablereader::WriteProgramArt(writeArt + "/program", error);
        for (ClientArt c : {ClientArt::kPokerStars, ClientArt::kPartyPoker, ClientArt::kFullTilt,
                            ClientArt::kInterPoker})
            ok = ok && tablereader::WriteClientArt(c, writeArt + "/client", error);
        if (!ok) {
            std::cerr << "seatwatch-table: " << error << "\n";
            return 1;
        }
        return 0;
    }

    if (theme != 1 && theme != 2) {
        std::cerr << "seatwatch-table: --theme must be 1 or 2\n";
        return 2;
    }
    const TableLayouts layouts = LoadTableLayouts(layoutsPath);
    if (!layouts.error.empty()) {
        std::cerr << "seatwatch-table: " << layouts.error << "\n";
        return 1;
    }
    const TableLayout* layout = layouts.Find(LayoutKey(room, theme == 2));
    if (layout == nullptr || !layout->reading) {
        std::cerr << "seatwatch-table: no card-reading layout for room " << room << "\n";
        return 2;
    }
    if (art.empty()) {
        std::cerr << "seatwatch-table: --art needs the folder written by --write-art\n";
        return 2;
    }
    ReaderContext context;
    context.programFolder = art + "/program";
    auto reader = MakeAutoReader(room, *layout, context);
    if (!reader) {
        std::cerr << "seatwatch-table: room " << room << " has no card reader\n";
        return 2;
    }
    reader->LoadCardImages(art + "/client");

    TableScene scene;
    if (!ParseSceneCards(cardsText, scene.cards, error) ||
        !ParseSceneState(stateText, scene, error)) {
        std::cerr << "seatwatch-table: " << error << "\n";
        return 2;
    }

    if (!snapshot.empty()) {
        const platform::Bitmap32 picture =
            FramedPicture(*layout, DrawTableScene(room, *reader, scene));
        if (!tablereader::WritePng(snapshot, picture)) {
            std::cerr << "seatwatch-table: cannot write " << snapshot << "\n";
            return 1;
        }
        return 0;
    }

    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::cerr << "seatwatch-table: cannot open the X display\n";
        return 1;
    }
    const platform::Rect client = DefaultClientRect(*layout);
    int status = 0;
    {
        TableWindow window(d, client.Width(), client.Height());
        if (!window.Ok()) {
            std::cerr << "seatwatch-table: the display has no 24-bit TrueColor visual\n";
            XCloseDisplay(d);
            return 1;
        }
        window.SetTitle(ClientTableTitle(room, table));
        window.Show(true);
        // Wait until mapped and exposed, then draw.
        for (XEvent e;;) {
            XNextEvent(d, &e);
            if (e.type == Expose) break;
        }
        platform::Bitmap32 picture = DrawTableScene(room, *reader, scene);
        window.Draw(picture);
        char id[32];
        std::snprintf(id, sizeof id, "window 0x%lx", window.Id());
        Reply(id);

        std::string pending;
        bool running = true;
        while (running) {
            while (XPending(d) > 0) {
                XEvent e;
                XNextEvent(d, &e);
                if (e.type == Expose && e.xexpose.count == 0) window.Draw(picture);
                if (e.type == ConfigureNotify) {
                    window.SetSize(e.xconfigure.width, e.xconfigure.height);
                    window.Draw(picture);
                }
                if (e.type == ClientMessage &&
                    static_cast<Atom>(e.xclient.data.l[0]) == window.DeleteAtom())
                    running = false;
            }
            if (!running) break;
            pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
            if (poll(fds, 2, 200) < 0) continue;
            if ((fds[1].revents & (POLLIN | POLLHUP)) == 0) continue;
            char buffer[4096];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) break;  // standard input closed: the table closes
            pending.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t eol; running && (eol = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, eol);
                pending.erase(0, eol + 1);
                std::istringstream words(line);
                std::string command;
                words >> command;
                std::string rest;
                std::getline(words, rest);
                if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
                if (command == "cards") {
                    if (!ParseSceneCards(rest, scene.cards, error)) {
                        Reply("error: " + error);
                        continue;
                    }
                } else if (command == "state") {
                    TableScene next = scene;
                    if (!ParseSceneState(rest, next, error)) {
                        Reply("error: " + error);
                        continue;
                    }
                    scene = next;
                } else if (command == "title") {
                    window.SetTitle(rest);
                } else if (command == "resize") {
                    int w = 0, h = 0;
                    std::istringstream size(rest);
                    if (!(size >> w >> h) || w <= 0 || h <= 0 || w > 4000 || h > 4000) {
                        Reply("error: resize needs a width and a height");
                        continue;
                    }
                    window.Resize(w, h);
                    window.SetSize(w, h);
                } else if (command == "hide" || command == "show") {
                    window.Show(command == "show");
                } else if (command == "quit") {
                    running = false;
                    break;
                } else if (!command.empty()) {
                    Reply("error: unknown command \"" + command + "\"");
                    continue;
                } else {
                    continue;
                }
                picture = DrawTableScene(room, *reader, scene);
                window.Draw(picture);
                Reply("ok");
            }
        }
    }
    XCloseDisplay(d);
    return status;
}
