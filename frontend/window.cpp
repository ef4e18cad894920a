#include "frontend/window.h"

#include <SDL2/SDL.h>

#include <cstdlib>

namespace frontend {

Window::~Window()
{
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    if (window_) SDL_Quit();
}

bool Window::Available()
{
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

bool Window::open(std::string& error)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    window_ = SDL_CreateWindow("orbdemo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 768,
                               SDL_WINDOW_RESIZABLE);
    if (window_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!renderer_ && window_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!window_ || !renderer_) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    // A field is 640 x 256 pixels shown on the height of a 4:3 screen.
    SDL_RenderSetLogicalSize(renderer_, 640, 512);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    return true;
}

void Window::present(const console::Picture& picture)
{
    std::lock_guard lock(mutex_);
    latest_ = picture;
    fresh_ = true;
}

void Window::close()
{
    closed_ = true;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void Window::run()
{
    while (!closed_) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 10)) {
            if (event.type == SDL_QUIT) closed_ = true;
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) closed_ = true;
        }
        std::lock_guard lock(mutex_);
        if (!fresh_) continue;
        fresh_ = false;
        if (!texture_) {
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STREAMING,
                                         static_cast<int>(latest_.width), static_cast<int>(latest_.height));
            if (!texture_) continue;
        }
        SDL_UpdateTexture(texture_, nullptr, latest_.pixels.data(), static_cast<int>(latest_.width * 4));
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }
}

} // namespace frontend
