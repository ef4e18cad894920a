#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

#include "console/pad/controller.h"
#include "console/picture.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct _SDL_GameController;

namespace frontend {

// A desktop window that shows the console's fields at 4:3, line-doubled as on a PAL screen, plays their
// sound and reads the controls. Space pauses and resumes, the period key steps one field while paused,
// F11 toggles full screen, F12 saves the picture as shown. Its event loop runs on the thread that opened it; the console hands it
// pictures and sound from its own thread.
class Window {
public:
    ~Window();

    // True when a display can be opened.
    static bool Available();

    bool open(std::string& error);
    // Shows this picture at the next redraw; called from the console's thread.
    void present(std::uint64_t field, const console::Picture& picture);
    // Queues one field's sound (48,000 Hz stereo); called from the console's thread.
    void play(std::span<const std::int16_t> samples);
    // The controls as the keyboard, the mouse or a game controller set them; called once a field.
    pad::Input input();
    // While the window is paused, waits until it is resumed, steps a field or closes; true if it waited.
    bool holdWhilePaused();
    // Runs the event loop until the window is closed or close() is called.
    void run();
    // Ends run() from another thread.
    void close();
    bool closed() const { return closed_; }

private:
    void handle(const void* event);
    void savePicture();
    void redraw();
    void setPaused(bool paused);
    void stop();
    void showTitle(bool paused, std::uint64_t field);

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    _SDL_GameController* gamepad_ = nullptr;
    std::uint32_t audio_ = 0;
    std::mutex mutex_;
    console::Picture latest_;
    console::Picture shown_;
    std::uint64_t latestField_ = 0;
    bool fresh_ = false;
    pad::Input keys_;
    pad::Input input_;
    // Mouse drags turn the left stick; wheel notches hold R1 or L1 for a few fields.
    bool dragging_ = false;
    int dragX_ = 0, dragY_ = 0;
    int zoomFields_ = 0;
    std::condition_variable resumed_;
    bool paused_ = false;
    int steps_ = 0;
    std::atomic<bool> closed_{false};
};

} // namespace frontend
