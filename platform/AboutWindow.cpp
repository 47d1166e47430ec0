#include "platform/AboutWindow.h"

#include "core/Translate.h"

#include "gfx/Brush.h"
#include "gfx/GlyphOutlines.h"
#include "gfx/Graphics.h"
#include "gfx/Path.h"
#include "gfx/Pen.h"
#include "gfx/Surface.h"
#include "platform/MessageText.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace platform {

namespace {

constexpr float kEmSize = 15.0f;
constexpr int kMargin = 20;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
// About as wide as a classic message box.
constexpr std::size_t kColumns = 64;

constexpr gfx::Argb kPaper = 0xffeeeeee;
constexpr gfx::Argb kInk = 0xff202020;
constexpr gfx::Argb kButtonFace = 0xffdcdcdc;
constexpr gfx::Argb kButtonPressedFace = 0xffc0c0c0;

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

void AboutWindow::Destroyer::operator()(SDL_Window* window) const {
    SDL_DestroyWindow(window);
}

std::unique_ptr<AboutWindow> AboutWindow::open(SDL_Window* parent, const char* title, const char* text,
                                               std::string& error) {
    std::vector<std::string> lines = splitLines(MessageText::wrap(text, kColumns));
    gfx::GlyphOutlines& font = gfx::GlyphOutlines::instance();
    float widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, font.advance(line, kEmSize));
    const int width = std::max(static_cast<int>(std::ceil(widest)) + 2 * kMargin, kButtonWidth + 2 * kMargin);
    const int textHeight =
        static_cast<int>(std::ceil(font.lineHeight(kEmSize) * static_cast<float>(lines.size())));
    const int height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;

    // Over the middle of the game window, as a message box stands.
    int x = SDL_WINDOWPOS_CENTERED;
    int y = SDL_WINDOWPOS_CENTERED;
    if (parent && (SDL_GetWindowFlags(parent) & SDL_WINDOW_FULLSCREEN) == 0) {
        int parentX = 0, parentY = 0, parentWidth = 0, parentHeight = 0;
        SDL_GetWindowPosition(parent, &parentX, &parentY);
        SDL_GetWindowSize(parent, &parentWidth, &parentHeight);
        x = parentX + (parentWidth - width) / 2;
        y = parentY + (parentHeight - height) / 2;
    }
    SDL_Window* window = SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_HIDDEN);
    if (!window) {
        error = core::trFill("hearthly: cannot open the About box (%s)", {SDL_GetError()});
        return nullptr;
    }
    // A dialog of the game window: the window manager keeps it above the game, but the game
    // window stays usable.
    if (parent)
        SDL_SetWindowModalFor(window, parent);
    std::unique_ptr<AboutWindow> about(new AboutWindow(window, std::move(lines), width, height));
    SDL_ShowWindow(window);
    about->raise();
    about->paint();
    return about;
}

AboutWindow::AboutWindow(SDL_Window* window, std::vector<std::string> lines, int width, int height)
    : window_(window), lines_(std::move(lines)), width_(width), height_(height) {}

AboutWindow::~AboutWindow() = default;

std::uint32_t AboutWindow::id() const {
    return SDL_GetWindowID(window_.get());
}

void AboutWindow::raise() {
    SDL_RaiseWindow(window_.get());
}

gfx::RectI AboutWindow::buttonRect() const {
    return {(width_ - kButtonWidth) / 2, height_ - kMargin - kButtonHeight, kButtonWidth, kButtonHeight};
}

bool AboutWindow::handle(const SDL_Event& event) {
    const auto onButton = [this](int x, int y) {
        const gfx::RectI b = buttonRect();
        return x >= b.x && x < b.right() && y >= b.y && y < b.bottom();
    };
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            return true;
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
            paint();
        return false;
    case SDL_KEYDOWN:
        switch (event.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_ESCAPE:
            return true;
        default:
            return false;
        }
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT && onButton(event.button.x, event.button.y)) {
            buttonPressed_ = true;
            paint();
        }
        return false;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT || !buttonPressed_)
            return false;
        // As with any button: it acts when released over it.
        buttonPressed_ = false;
        if (onButton(event.button.x, event.button.y))
            return true;
        paint();
        return false;
    default:
        return false;
    }
}

void AboutWindow::paint() {
    SDL_Surface* target = SDL_GetWindowSurface(window_.get());
    if (!target)
        return;
    gfx::Surface picture(target->w, target->h);
    if (!picture.valid())
        return;
    {
        gfx::Graphics g(picture);
        g.clear(kPaper);
        gfx::SolidBrush ink(kInk);
        gfx::GlyphOutlines& font = gfx::GlyphOutlines::instance();
        const float lineHeight = font.lineHeight(kEmSize);
        gfx::Path text;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (!lines_[i].empty())
                text.addString(lines_[i], kEmSize,
                               {kMargin - kEmSize * gfx::GlyphOutlines::kLeftPadding,
                                kMargin + lineHeight * static_cast<float>(i)});
        }
        if (!text.empty())
            g.fillPath(ink, text);

        const gfx::RectI b = buttonRect();
        const gfx::RectF face{static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(b.width),
                              static_cast<float>(b.height)};
        g.fillRectangle(gfx::SolidBrush(buttonPressed_ ? kButtonPressedFace : kButtonFace), face);
        g.drawRectangle(gfx::Pen(kInk, 1.0f),
                        {face.x + 0.5f, face.y + 0.5f, face.width - 1, face.height - 1});
        const float labelWidth =
            font.advance(core::tr("OK"), kEmSize) - kEmSize * gfx::GlyphOutlines::kLeftPadding;
        gfx::Path label;
        label.addString(core::tr("OK"), kEmSize,
                        {face.x + (face.width - labelWidth) / 2 - kEmSize * gfx::GlyphOutlines::kLeftPadding,
                         face.y + (face.height - lineHeight) / 2});
        g.fillPath(ink, label);
        g.flush();
    }
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
        return;
    SDL_ConvertPixels(picture.width(), picture.height(), SDL_PIXELFORMAT_ARGB8888, picture.data(),
                      picture.stride(), target->format->format, target->pixels, target->pitch);
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
    SDL_UpdateWindowSurface(window_.get());
}

} // namespace platform
