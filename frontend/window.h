#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "console/picture.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace frontend {

// A desktop window that shows the console's fields, line-doubled as on a PAL screen. Its event loop
// runs on the thread that opened it; the console hands it pictures from its own thread.
class Window {
public:
    ~Window();

    // True when a display can be opened.
    static bool Available();

    bool open(std::string& error);
    // Shows this picture at the next redraw; called from the console's thread.
    void present(const console::Picture& picture);
    // Runs the event loop until the window is closed or close() is called.
    void run();
    // Ends run() from another thread.
    void close();
    bool closed() const { return closed_; }

private:
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::mutex mutex_;
    console::Picture latest_;
    bool fresh_ = false;
    std::atomic<bool> closed_{false};
};

} // namespace frontend
