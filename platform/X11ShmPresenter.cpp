#include "platform/X11ShmPresenter.h"

#include "gfx/Surface.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace platform {

struct X11ShmPresenter::Image {
    XShmSegmentInfo segment{}; // the image points at it: it stays put while the image lives
    XImage* image = nullptr;
};

namespace {

// Whether the server refused the memory: a server on another machine cannot read it.
bool attachFailed = false;
int noteAttachFailure(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

// Frees the image itself: its pixels are the shared memory and its extra data our segment
// record, neither of them Xlib's to free.
void destroyImage(XImage* image) {
    image->data = nullptr;
    image->obdata = nullptr;
    XDestroyImage(image);
}

} // namespace

std::unique_ptr<X11ShmPresenter> X11ShmPresenter::attach(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    std::unique_ptr<X11ShmPresenter> presenter(new X11ShmPresenter);
    presenter->display_ = XOpenDisplay(DisplayString(info.info.x11.display));
    if (presenter->display_ == nullptr)
        return nullptr;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(presenter->display_, info.info.x11.window, &attributes) ||
        attributes.visual == nullptr)
        return nullptr;
    // The back buffer's words are shown as they are: the window must take 0x00RRGGBB words.
    const Visual* visual = attributes.visual;
    if ((attributes.depth != 24 && attributes.depth != 32) || visual->red_mask != 0xff0000 ||
        visual->green_mask != 0x00ff00 || visual->blue_mask != 0x0000ff)
        return nullptr;
    int major = 0;
    int minor = 0;
    Bool pixmaps = False;
    if (!XShmQueryVersion(presenter->display_, &major, &minor, &pixmaps))
        return nullptr;
    presenter->window_ = info.info.x11.window;
    presenter->visual_ = attributes.visual;
    presenter->depth_ = attributes.depth;
    presenter->gc_ = XCreateGC(presenter->display_, presenter->window_, 0, nullptr);
    presenter->completionEvent_ = XShmGetEventBase(presenter->display_) + ShmCompletion;
    // A first image tells whether the server takes our memory at all.
    if (presenter->gc_ == nullptr ||
        !presenter->makeImage(std::max(1, attributes.width), std::max(1, attributes.height)))
        return nullptr;
    return presenter;
}

X11ShmPresenter::~X11ShmPresenter() {
    if (display_ == nullptr)
        return;
    dropImage();
    if (gc_ != nullptr)
        XFreeGC(display_, gc_);
    XCloseDisplay(display_);
}

bool X11ShmPresenter::makeImage(int width, int height) {
    auto made = std::make_unique<Image>();
    made->image =
        XShmCreateImage(display_, static_cast<Visual*>(visual_), static_cast<unsigned>(depth_), ZPixmap,
                        nullptr, &made->segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (made->image == nullptr)
        return false;
    XImage* image = made->image;
    const bool layout =
        image->bits_per_pixel == 32 && image->bytes_per_line >= 4 * width && image->bytes_per_line % 4 == 0 &&
        image->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
    if (layout) {
        made->segment.shmid =
            shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * height, IPC_CREAT | 0600);
    }
    if (!layout || made->segment.shmid < 0) {
        destroyImage(image);
        return false;
    }
    made->segment.shmaddr = static_cast<char*>(shmat(made->segment.shmid, nullptr, 0));
    if (made->segment.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(made->segment.shmid, IPC_RMID, nullptr);
        destroyImage(image);
        return false;
    }
    image->data = made->segment.shmaddr;
    made->segment.readOnly = True;
    XSync(display_, False);
    attachFailed = false;
    const XErrorHandler previous = XSetErrorHandler(noteAttachFailure);
    XShmAttach(display_, &made->segment);
    XSync(display_, False);
    XSetErrorHandler(previous);
    // Marked for removal once the server holds it: it goes when both we and the server let
    // go of it, also if the game is killed.
    shmctl(made->segment.shmid, IPC_RMID, nullptr);
    if (attachFailed) {
        shmdt(made->segment.shmaddr);
        destroyImage(image);
        return false;
    }
    image_ = std::move(made);
    return true;
}

void X11ShmPresenter::dropImage() {
    if (!image_)
        return;
    waitForCopy();
    XShmDetach(display_, &image_->segment);
    XSync(display_, False);
    shmdt(image_->segment.shmaddr);
    destroyImage(image_->image);
    image_.reset();
}

void X11ShmPresenter::waitForCopy() {
    if (!copying_)
        return;
    // The server's answer has usually come long before the next frame: taken off the
    // connection without a round trip. Otherwise a round trip waits for the copy.
    // Only the last frame's answer can be outstanding: the round trip drops any other.
    XEvent event;
    if (!XCheckTypedEvent(display_, completionEvent_, &event))
        XSync(display_, True);
    copying_ = false;
}

game::WindowPort::SharedPixels X11ShmPresenter::pixels(int width, int height) {
    if (width <= 0 || height <= 0)
        return {};
    if (image_ && (image_->image->width != width || image_->image->height != height))
        dropImage();
    if (!image_ && !makeImage(width, height))
        return {};
    waitForCopy();
    return {reinterpret_cast<std::uint8_t*>(image_->segment.shmaddr), width, height,
            image_->image->bytes_per_line};
}

bool X11ShmPresenter::present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> rects) {
    const game::WindowPort::SharedPixels memory = pixels(backBuffer.width(), backBuffer.height());
    if (memory.data == nullptr)
        return false;
    const gfx::RectI whole{0, 0, memory.width, memory.height};
    const bool inPlace = backBuffer.data() == memory.data;
    const gfx::RectI* last = nullptr;
    for (const gfx::RectI& rect : rects) {
        if (!gfx::intersection(rect, whole).isEmpty())
            last = &rect;
    }
    for (const gfx::RectI& rect : rects) {
        const gfx::RectI r = gfx::intersection(rect, whole);
        if (r.isEmpty())
            continue;
        if (!inPlace) {
            for (int y = r.y; y < r.bottom(); ++y)
                std::memcpy(memory.data + static_cast<std::ptrdiff_t>(y) * memory.stride + 4 * r.x,
                            backBuffer.data() + static_cast<std::ptrdiff_t>(y) * backBuffer.stride() +
                                4 * r.x,
                            4 * static_cast<std::size_t>(r.width));
        }
        // The last rectangle of a frame asks for the server's answer once it is copied.
        XShmPutImage(display_, window_, gc_, image_->image, r.x, r.y, r.x, r.y,
                     static_cast<unsigned>(r.width), static_cast<unsigned>(r.height),
                     &rect == last ? True : False);
    }
    if (last == nullptr)
        return true;
    XFlush(display_);
    copying_ = true;
    return true;
}

} // namespace platform
