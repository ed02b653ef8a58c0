// Kestrel's window over Xlib. Every X11 call in Kestrel lives in this file.
//
// Two threads use the one display connection (XInitThreads makes that safe):
// the program's thread presents pages and moves the window, and an event
// thread of our own turns events into Input and repaints exposed parts from
// the last presented image. The event thread keeps the window alive and the
// keys queued while the program's thread waits for an outside program.
#include "screen/x11_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "screen/key.h"
#include "screen/scale.h"

// X11 headers come last: their macros (None, True, Status...) must not leak
// into Kestrel's own headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#if KESTREL_HAVE_XSHM
#include <X11/extensions/XShm.h>
#endif

namespace kestrel {

namespace {

// ---- key mapping ----

struct KeysymCode {
    KeySym sym;
    std::uint8_t code;
};

// Keys that become an extended key (255 + scan code); the keypad gives the
// same codes as the grey keys.
constexpr KeysymCode kExtendedKeys[] = {
    {XK_Up, scan::Up},         {XK_KP_Up, scan::Up},        {XK_Down, scan::Down},
    {XK_KP_Down, scan::Down},  {XK_Left, scan::Left},       {XK_KP_Left, scan::Left},
    {XK_Right, scan::Right},   {XK_KP_Right, scan::Right},  {XK_Home, scan::Home},
    {XK_KP_Home, scan::Home},  {XK_End, scan::End},         {XK_KP_End, scan::End},
    {XK_Prior, scan::PgUp},    {XK_KP_Prior, scan::PgUp},   {XK_Next, scan::PgDn},
    {XK_KP_Next, scan::PgDn},  {XK_Insert, scan::Ins},      {XK_KP_Insert, scan::Ins},
    {XK_Delete, scan::Del},    {XK_KP_Delete, scan::Del},   {XK_F1, 59},
    {XK_F2, 60},               {XK_F3, 61},                 {XK_F4, 62},
    {XK_F5, 63},               {XK_F6, 64},                 {XK_F7, 65},
    {XK_F8, 66},               {XK_F9, 67},                 {XK_F10, 68},
};

// Keys whose character does not depend on modifiers.
constexpr KeysymCode kCharacterKeys[] = {
    {XK_Return, ch::Enter}, {XK_KP_Enter, ch::Enter},  {XK_Tab, ch::Tab},
    {XK_ISO_Left_Tab, ch::Tab}, {XK_Escape, ch::Esc},  {XK_BackSpace, ch::Backspace},
};

const KeysymCode* findKeysym(const auto& table, KeySym sym) {
    for (const auto& row : table)
        if (row.sym == sym) return &row;
    return nullptr;
}

// ---- mouse buttons ----

struct ButtonAction {
    unsigned button;
    int bit;    // -1: not a button Kestrel tracks
    int wheel;  // notches, +1 away from the user
};

constexpr ButtonAction kButtons[] = {
    {Button1, 0, 0}, {Button3, 1, 0}, {Button2, 2, 0}, {Button4, -1, +1}, {Button5, -1, -1},
};

const ButtonAction* findButton(unsigned button) {
    for (const auto& row : kButtons)
        if (row.button == button) return &row;
    return nullptr;
}

// ---- X errors ----

// Xlib's default handler ends the process on any protocol error. Kestrel
// would rather go on drawing; the one error it must notice (a server that
// cannot attach our shared memory, e.g. over a network) is read from here.
std::atomic<int> gLastXError{0};

int recordXError(Display*, XErrorEvent* e) {
    gLastXError = e->error_code;
    return 0;
}

// Scales an 8-bit component into a TrueColor channel mask.
unsigned long channel(std::uint8_t value, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const unsigned long v = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8) : value >> (8 - bits);
    return (v << shift) & mask;
}

bool hostIsLittleEndian() { return std::endian::native == std::endian::little; }

class X11Presenter final : public Presenter {
public:
    X11Presenter(Input& input, Display* display, const XVisualInfo& visual, bool sharedMemory, int scale);
    ~X11Presenter() override;

    bool openWindow(int width, int height) override;
    void present(const std::vector<std::uint8_t>& page, const Palette& palette, Rect area) override;
    void setTitle(const std::string& title) override;
    Point desktopSize() override;
    Point windowPosition() override;
    void setWindowPosition(Point p) override;
    void setPointer(std::optional<Point> at, bool visible) override;
    void bell() override;

private:
    void createWindow();
    bool createImage(int width, int height);
    void destroyImage();
    void updatePixelTable(const Palette& palette);
    void paint(Rect area);     // from shown_, strip by strip; caller holds imageMutex_
    void putStrip(Rect area);  // rows area.y1.. of the window from strip rows 0..; caller holds imageMutex_
    void paintScaledRow(const std::uint8_t* src, int x1, int x2, int row);  // caller holds imageMutex_
    void waitForServerCopy();  // caller holds imageMutex_
    void eventLoop();
    void handleEvent(XEvent& ev);
    void handleKey(XKeyEvent& ev);
    void handleClientMessage(XClientMessageEvent& ev);
    void pointerAt(int x, int y);

    Input& input_;
    Display* dpy_;
    XVisualInfo visual_;
    int screen_;
    Window root_;
    Window window_ = 0;
    Colormap colormap_ = 0;
    GC gc_ = nullptr;
    Cursor invisibleCursor_ = 0;
    Atom wmProtocols_, wmDelete_, netWmPing_, netWmPid_, netWmName_, utf8String_, motifHints_, stopAtom_;
    bool mapped_ = false;
    bool useShm_;
    std::atomic<bool> stopping_{false};
    std::thread events_;

    // What the window shows (shown_, palette indices) is shared with the event
    // thread for repaints; it is sent through an image a few rows high (kStripRows),
    // a twentieth of the memory a whole window's image would take.
    static constexpr int kStripRows = 24;
    std::mutex imageMutex_;  // guards shown_ and the image
    XImage* image_ = nullptr;
    int width_ = 0, height_ = 0;
    // On a HiDPI desktop each page pixel is a scale_ x scale_ block on the
    // screen; the program sees desktop, window and pointer divided by it.
    const int scale_;
#if KESTREL_HAVE_XSHM
    XShmSegmentInfo shm_{};
    bool imageInShm_ = false;
#endif
    bool shmCopyPending_ = false;
    std::uint32_t pixelTable_[256] = {};
    Palette tablePalette_{};
    bool tableValid_ = false;
    bool fastPath_ = false;  // 32 bits per pixel in the host's byte order

    // The window size as the event thread sees it, to tell a pointer that
    // left during a drag.
    std::atomic<int> eventWidth_{0}, eventHeight_{0};
};

X11Presenter::X11Presenter(Input& input, Display* display, const XVisualInfo& visual, bool sharedMemory, int scale)
    : input_(input), dpy_(display), visual_(visual), screen_(visual.screen), root_(RootWindow(display, visual.screen)),
      useShm_(sharedMemory), scale_(scale) {
    XSetErrorHandler(recordXError);
    wmProtocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", False);
    wmDelete_ = XInternAtom(dpy_, "WM_DELETE_WINDOW", False);
    netWmPing_ = XInternAtom(dpy_, "_NET_WM_PING", False);
    netWmPid_ = XInternAtom(dpy_, "_NET_WM_PID", False);
    netWmName_ = XInternAtom(dpy_, "_NET_WM_NAME", False);
    utf8String_ = XInternAtom(dpy_, "UTF8_STRING", False);
    motifHints_ = XInternAtom(dpy_, "_MOTIF_WM_HINTS", False);
    stopAtom_ = XInternAtom(dpy_, "_KESTREL_STOP_EVENTS", False);
#if KESTREL_HAVE_XSHM
    if (useShm_) useShm_ = XShmQueryExtension(dpy_);
#else
    useShm_ = false;
#endif
    createWindow();
    events_ = std::thread([this] { eventLoop(); });
}

X11Presenter::~X11Presenter() {
    // Wake the event thread with a message only it understands.
    stopping_ = true;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window_;
    ev.xclient.message_type = stopAtom_;
    ev.xclient.format = 32;
    XSendEvent(dpy_, window_, False, NoEventMask, &ev);
    XFlush(dpy_);
    events_.join();

    destroyImage();
    XFreeCursor(dpy_, invisibleCursor_);
    XFreeGC(dpy_, gc_);
    XDestroyWindow(dpy_, window_);
    XFreeColormap(dpy_, colormap_);
    XCloseDisplay(dpy_);
}

void X11Presenter::createWindow() {
    colormap_ = XCreateColormap(dpy_, root_, visual_.visual, AllocNone);
    XSetWindowAttributes attrs{};
    attrs.colormap = colormap_;
    attrs.border_pixel = 0;
    // No background: an exposed part keeps its old pixels until we repaint
    // it from the image, instead of flashing a fill colour first.
    attrs.background_pixmap = None;
    attrs.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                       EnterWindowMask | LeaveWindowMask | StructureNotifyMask;
    window_ = XCreateWindow(dpy_, root_, 0, 0, 640, 480, 0, visual_.depth, InputOutput, visual_.visual,
                            CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attrs);
    gc_ = XCreateGC(dpy_, window_, 0, nullptr);

    // No title bar and no border, asked of the window manager: an
    // override-redirect window would never get the keyboard focus.
    const long motif[5] = {2 /* decorations field is valid */, 0, 0 /* no decorations */, 0, 0};
    XChangeProperty(dpy_, window_, motifHints_, motifHints_, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);

    Atom protocols[] = {wmDelete_, netWmPing_};
    XSetWMProtocols(dpy_, window_, protocols, 2);
    const long pid = getpid();
    XChangeProperty(dpy_, window_, netWmPid_, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);

    XWMHints wmHints{};
    wmHints.flags = InputHint | StateHint;
    wmHints.input = True;
    wmHints.initial_state = NormalState;
    char name[] = "kestrel", klass[] = "Kestrel";
    XClassHint classHint{name, klass};
    XSetWMProperties(dpy_, window_, nullptr, nullptr, nullptr, 0, nullptr, &wmHints, &classHint);

    char blank = 0;
    Pixmap empty = XCreateBitmapFromData(dpy_, window_, &blank, 1, 1);
    XColor black{};
    invisibleCursor_ = XCreatePixmapCursor(dpy_, empty, empty, &black, &black, 0, 0);
    XFreePixmap(dpy_, empty);
}

bool X11Presenter::openWindow(int width, int height) {
    {
        std::lock_guard lock(imageMutex_);
        if (width != width_ || height != height_ || !image_) {
            destroyImage();
            if (!createImage(width, height)) return false;
        }
    }
    eventWidth_ = width;
    eventHeight_ = height;

    // Centred on the desktop as it would be at scale 1, then scaled.
    const Point desktop = desktopSize();
    const int x = (desktop.x - width) / 2 * scale_, y = (desktop.y - height) / 2 * scale_;
    XSizeHints hints{};
    hints.flags = PPosition | USPosition | PMinSize | PMaxSize | PWinGravity;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = width * scale_;
    hints.min_height = hints.max_height = height * scale_;
    hints.win_gravity = NorthWestGravity;
    XSetWMNormalHints(dpy_, window_, &hints);
    XMoveResizeWindow(dpy_, window_, x, y, static_cast<unsigned>(width * scale_), static_cast<unsigned>(height * scale_));
    if (!mapped_) {
        XMapRaised(dpy_, window_);
        mapped_ = true;
    }
    XFlush(dpy_);
    return true;
}

bool X11Presenter::createImage(int width, int windowHeight) {
    width_ = width;
    height_ = windowHeight;
    shown_.assign(static_cast<std::size_t>(width) * windowHeight, 0);
    const int height = kStripRows * scale_;
    width *= scale_;
    tableValid_ = false;
#if KESTREL_HAVE_XSHM
    if (useShm_) {
        image_ = XShmCreateImage(dpy_, visual_.visual, static_cast<unsigned>(visual_.depth), ZPixmap, nullptr, &shm_,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (image_) {
            shm_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * height, IPC_CREAT | 0600);
            void* addr = shm_.shmid >= 0 ? shmat(shm_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
            bool attached = false;
            if (addr != reinterpret_cast<void*>(-1)) {
                shm_.shmaddr = image_->data = static_cast<char*>(addr);
                shm_.readOnly = True;
                gLastXError = 0;
                attached = XShmAttach(dpy_, &shm_) && (XSync(dpy_, False), gLastXError == 0);
            }
            // Marked for removal at once: the segment goes away with the
            // last detach, even if Kestrel is killed.
            if (shm_.shmid >= 0) shmctl(shm_.shmid, IPC_RMID, nullptr);
            if (attached) {
                imageInShm_ = true;
            } else {
                if (addr != reinterpret_cast<void*>(-1)) shmdt(addr);
                image_->data = nullptr;
                XDestroyImage(image_);
                image_ = nullptr;
                useShm_ = false;  // the server cannot reach our memory: plain images from now on
            }
        }
    }
#endif
    if (!image_) {
        image_ = XCreateImage(dpy_, visual_.visual, static_cast<unsigned>(visual_.depth), ZPixmap, 0, nullptr,
                              static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
        if (!image_) return false;
        image_->data = static_cast<char*>(std::calloc(static_cast<size_t>(image_->bytes_per_line), height));
        if (!image_->data) {
            XDestroyImage(image_);
            image_ = nullptr;
            return false;
        }
    }
    fastPath_ = image_->bits_per_pixel == 32 &&
                (image_->byte_order == LSBFirst) == hostIsLittleEndian();
    return true;
}

void X11Presenter::destroyImage() {
    if (!image_) return;
#if KESTREL_HAVE_XSHM
    if (imageInShm_) {
        shmCopyPending_ = false;
        XShmDetach(dpy_, &shm_);
        XSync(dpy_, False);
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
        imageInShm_ = false;
    }
#endif
    XDestroyImage(image_);  // frees the calloc'd data of a plain image
    image_ = nullptr;
}

void X11Presenter::updatePixelTable(const Palette& palette) {
    if (tableValid_ && palette == tablePalette_) return;
    for (int i = 0; i < 256; ++i) {
        const Rgb c = palette[i];
        pixelTable_[i] = static_cast<std::uint32_t>(channel(c.r, visual_.red_mask) |
                                                    channel(c.g, visual_.green_mask) |
                                                    channel(c.b, visual_.blue_mask));
    }
    tablePalette_ = palette;
    tableValid_ = true;
}

void X11Presenter::waitForServerCopy() {
    if (!shmCopyPending_) return;
    XSync(dpy_, False);
    shmCopyPending_ = false;
}

void X11Presenter::paint(Rect a) {
    for (int top = a.y1; top <= a.y2; top += kStripRows) {
        const int bottom = std::min(a.y2, top + kStripRows - 1);
        waitForServerCopy();  // the server may still be reading the strip
        for (int y = top; y <= bottom; ++y) {
            const std::uint8_t* src = shown_.data() + static_cast<std::size_t>(y) * width_;
            const int row = (y - top) * scale_;
            if (fastPath_ && scale_ == 1) {
                auto* dst = reinterpret_cast<std::uint32_t*>(image_->data + static_cast<std::size_t>(row) * image_->bytes_per_line);
                for (int x = a.x1; x <= a.x2; ++x) dst[x] = pixelTable_[src[x]];
            } else if (fastPath_) {
                paintScaledRow(src, a.x1, a.x2, row);
            } else {
                for (int x = a.x1 * scale_; x < (a.x2 + 1) * scale_; ++x)
                    for (int k = 0; k < scale_; ++k) XPutPixel(image_, x, row + k, pixelTable_[src[x / scale_]]);
            }
        }
        putStrip({a.x1, top, a.x2, bottom});
    }
    XFlush(dpy_);
}

// One page row as scale_ screen rows of scale_-wide pixels, in the strip.
void X11Presenter::paintScaledRow(const std::uint8_t* src, int x1, int x2, int row) {
    std::uint32_t line[1024];
    const int count = x2 - x1 + 1;
    for (int x = 0; x < count; ++x) line[x] = pixelTable_[src[x1 + x]];
    auto* first = reinterpret_cast<std::uint32_t*>(image_->data + static_cast<std::size_t>(row) * image_->bytes_per_line) + x1 * scale_;
    widenRow(line, count, scale_, first);
    for (int k = 1; k < scale_; ++k)
        std::memcpy(reinterpret_cast<std::uint32_t*>(image_->data + static_cast<std::size_t>(row + k) * image_->bytes_per_line) + x1 * scale_,
                    first, sizeof(std::uint32_t) * static_cast<std::size_t>(count * scale_));
}

void X11Presenter::putStrip(Rect a) {
    a = {a.x1 * scale_, a.y1 * scale_, (a.x2 + 1) * scale_ - 1, (a.y2 + 1) * scale_ - 1};
    const auto w = static_cast<unsigned>(a.x2 - a.x1 + 1), h = static_cast<unsigned>(a.y2 - a.y1 + 1);
#if KESTREL_HAVE_XSHM
    if (imageInShm_) {
        // The server copies from our memory later; the next strip waits for
        // it (waitForServerCopy), so the program draws meanwhile.
        XShmPutImage(dpy_, window_, gc_, image_, a.x1, 0, a.x1, a.y1, w, h, False);
        shmCopyPending_ = true;
        return;
    }
#endif
    XPutImage(dpy_, window_, gc_, image_, a.x1, 0, a.x1, a.y1, w, h);
}

void X11Presenter::present(const std::vector<std::uint8_t>& page, const Palette& palette, Rect area) {
    std::lock_guard lock(imageMutex_);
    if (!image_ || page.size() < static_cast<size_t>(width_) * height_) return;
    area = {std::max(area.x1, 0), std::max(area.y1, 0), std::min(area.x2, width_ - 1), std::min(area.y2, height_ - 1)};
    if (area.empty()) return;
    if (!(tableValid_ && palette == tablePalette_)) {
        // New colours change every pixel on the window, not just the dirty part.
        updatePixelTable(palette);
        area = {0, 0, width_ - 1, height_ - 1};
    }
    remember(page, area, width_);
    paint(area);
}

void X11Presenter::setTitle(const std::string& title) {
    XStoreName(dpy_, window_, title.c_str());
    XChangeProperty(dpy_, window_, netWmName_, utf8String_, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XFlush(dpy_);
}

// The desktop, the window's place and the pointer as they would be at
// scale 1: divided by the scale on the way in, multiplied on the way out.
Point X11Presenter::desktopSize() {
    XWindowAttributes attrs{};
    if (!XGetWindowAttributes(dpy_, root_, &attrs))
        return {DisplayWidth(dpy_, screen_) / scale_, DisplayHeight(dpy_, screen_) / scale_};
    return {attrs.width / scale_, attrs.height / scale_};
}

Point X11Presenter::windowPosition() {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(dpy_, window_, root_, 0, 0, &x, &y, &child);
    return {floorDiv(x, scale_), floorDiv(y, scale_)};
}

void X11Presenter::setWindowPosition(Point p) {
    XMoveWindow(dpy_, window_, p.x * scale_, p.y * scale_);
    XFlush(dpy_);
}

void X11Presenter::setPointer(std::optional<Point> at, bool visible) {
    if (at) XWarpPointer(dpy_, None, window_, 0, 0, 0, 0, at->x * scale_, at->y * scale_);
    if (visible)
        XUndefineCursor(dpy_, window_);
    else
        XDefineCursor(dpy_, window_, invisibleCursor_);
    XFlush(dpy_);
}

void X11Presenter::bell() {
    XBell(dpy_, 0);
    XFlush(dpy_);
}

// ---- the event thread ----

void X11Presenter::eventLoop() {
    for (;;) {
        XEvent ev;
        XNextEvent(dpy_, &ev);
        if (ev.type == ClientMessage && ev.xclient.message_type == stopAtom_ && stopping_) return;
        handleEvent(ev);
    }
}

void X11Presenter::handleEvent(XEvent& ev) {
    switch (ev.type) {
        case Expose: {
            std::lock_guard lock(imageMutex_);
            if (!image_) break;
            const auto& e = ev.xexpose;
            const Rect area{std::max(e.x / scale_, 0), std::max(e.y / scale_, 0),
                            std::min((e.x + e.width + scale_ - 1) / scale_, width_) - 1,
                            std::min((e.y + e.height + scale_ - 1) / scale_, height_) - 1};
            if (!area.empty()) paint(area);
            break;
        }
        case KeyPress: handleKey(ev.xkey); break;
        case MotionNotify: pointerAt(ev.xmotion.x, ev.xmotion.y); break;
        case EnterNotify: pointerAt(ev.xcrossing.x, ev.xcrossing.y); break;
        case LeaveNotify: input_.pointerLeft(); break;
        case ButtonPress:
        case ButtonRelease: {
            const ButtonAction* b = findButton(ev.xbutton.button);
            if (!b) break;
            const bool press = ev.type == ButtonPress;
            if (b->bit >= 0) {
                if (press)
                    input_.buttonDown(b->bit);
                else
                    input_.buttonUp(b->bit);
            } else if (press) {
                input_.wheelNotch(b->wheel);
            }
            pointerAt(ev.xbutton.x, ev.xbutton.y);
            break;
        }
        case ClientMessage: handleClientMessage(ev.xclient); break;
        default: break;
    }
}

void X11Presenter::pointerAt(int x, int y) {
    x = floorDiv(x, scale_);
    y = floorDiv(y, scale_);
    // While a button is held the window keeps getting motion from outside.
    if (x < 0 || y < 0 || x >= eventWidth_ || y >= eventHeight_)
        input_.pointerLeft();
    else
        input_.pointerMoved(x, y);
}

void X11Presenter::handleKey(XKeyEvent& ev) {
    char text[32];
    KeySym sym = NoSymbol;
    const int len = XLookupString(&ev, text, sizeof text, &sym, nullptr);
    if (const KeysymCode* k = findKeysym(kExtendedKeys, sym)) {
        input_.pushKey(Key::extended(k->code));
        return;
    }
    if (const KeysymCode* k = findKeysym(kCharacterKeys, sym)) {
        input_.pushKey(Key::character(k->code));
        return;
    }
    // Letters with their case, Ctrl+letter as 1..26, Latin-1 as its byte.
    for (int i = 0; i < len; ++i) input_.pushKey(Key::character(static_cast<std::uint8_t>(text[i])));
}

void X11Presenter::handleClientMessage(XClientMessageEvent& ev) {
    if (ev.message_type != wmProtocols_ || ev.format != 32) return;
    const auto protocol = static_cast<Atom>(ev.data.l[0]);
    if (protocol == wmDelete_) {
        // Closing is the program's decision; the request is only a key.
        input_.pushKey(Key::extended(scan::Close));
    } else if (protocol == netWmPing_) {
        XEvent reply{};
        reply.xclient = ev;
        reply.xclient.window = root_;
        XSendEvent(dpy_, root_, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
        XFlush(dpy_);
    }
}

// Picks a TrueColor visual, the default one when it is TrueColor.
bool chooseVisual(Display* dpy, XVisualInfo& out) {
    const int screen = DefaultScreen(dpy);
    XVisualInfo tmpl{};
    tmpl.visualid = XVisualIDFromVisual(DefaultVisual(dpy, screen));
    int n = 0;
    if (XVisualInfo* v = XGetVisualInfo(dpy, VisualIDMask, &tmpl, &n)) {
        const bool ok = n > 0 && v[0].c_class == TrueColor;
        if (ok) out = v[0];
        XFree(v);
        if (ok) return true;
    }
    for (int depth : {24, 32, 16, 15})
        if (XMatchVisualInfo(dpy, screen, depth, TrueColor, &out)) return true;
    return false;
}

}  // namespace

std::unique_ptr<Presenter> makeX11Presenter(Input& input, std::string& error, const X11Options& options) {
    // Before any other Xlib call: the event thread shares the connection.
    if (!XInitThreads()) {
        error = "Xlib cannot be used from two threads";
        return nullptr;
    }
    const char* name = options.display.empty() ? nullptr : options.display.c_str();
    Display* dpy = XOpenDisplay(name);
    if (!dpy) {
        error = std::string("cannot open display \"") + XDisplayName(name) + "\"";
        return nullptr;
    }
    XVisualInfo visual{};
    if (!chooseVisual(dpy, visual)) {
        XCloseDisplay(dpy);
        error = "the display offers no TrueColor visual";
        return nullptr;
    }
    const char* resources = XResourceManagerString(dpy);
    const int scale = options.scale > 0 ? std::min(options.scale, kMaxScale)
                                        : desktopScale(resources ? resources : "", std::getenv("GDK_SCALE"));
    return std::make_unique<X11Presenter>(input, dpy, visual, options.sharedMemory, scale);
}

}  // namespace kestrel
