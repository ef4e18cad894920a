#include "frontend/window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "frontend/interruption.h"
#include "frontend/picture_scale.h"
#include "frontend/png_file.h"
#include "frontend/program.h"
#include "ps2/libpad.h"

namespace frontend {
namespace {

// A PAL screen is 4:3; the window keeps that shape at any size.
constexpr int kScreenWidth = kShownWidth;
constexpr int kScreenHeight = kShownHeight;

// Sound queued beyond this many fields is dropped, so the sound never lags the picture for long.
constexpr std::uint32_t kMaxQueuedFields = 6;
constexpr std::uint32_t kFieldBytes = 960 * 4;

struct KeyButton {
    SDL_Keycode key;
    std::uint16_t button;
};

// R and W are orbview's reset and outline keys; + and - its zoom.
constexpr KeyButton kKeyButtons[] = {
    {SDLK_UP, PAD_UP}, {SDLK_DOWN, PAD_DOWN}, {SDLK_LEFT, PAD_LEFT}, {SDLK_RIGHT, PAD_RIGHT}, {SDLK_RETURN, PAD_START},
    {SDLK_BACKSPACE, PAD_SELECT}, {SDLK_x, PAD_CROSS}, {SDLK_c, PAD_CIRCLE}, {SDLK_s, PAD_SQUARE},
    {SDLK_d, PAD_TRIANGLE}, {SDLK_r, PAD_START}, {SDLK_w, PAD_SELECT}, {SDLK_EQUALS, PAD_R1}, {SDLK_PLUS, PAD_R1},
    {SDLK_KP_PLUS, PAD_R1}, {SDLK_MINUS, PAD_L1}, {SDLK_KP_MINUS, PAD_L1},
};

// A pixel of mouse drag is half a degree of turn in orbview (a stick step of 16), up to a full stick a field.
constexpr int kStickPerPixel = 16;
// A wheel notch holds the zoom button this many fields.
constexpr int kFieldsPerNotch = 4;

// A stick axis from -32768..32767 to the controller's 0..255 with 128 at rest.
std::uint8_t StickAxis(Sint16 value) { return static_cast<std::uint8_t>((value + 32768) >> 8); }

} // namespace

Window::~Window()
{
    if (audio_) SDL_CloseAudioDevice(audio_);
    if (gamepad_) SDL_GameControllerClose(gamepad_);
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
    // Ctrl-C is the program's to handle (it finishes recordings), not SDL's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    window_ = SDL_CreateWindow(ProgramName().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kScreenWidth * 5 / 4, kScreenHeight * 5 / 4, SDL_WINDOW_RESIZABLE);
    if (window_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!renderer_ && window_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!window_ || !renderer_) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    SDL_RenderSetLogicalSize(renderer_, kScreenWidth, kScreenHeight);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");

    // Without a sound device the demo still runs, silently.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want{};
        want.freq = 48000;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        audio_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    }
    if (audio_) {
        SDL_PauseAudioDevice(audio_, 0);
    } else {
        std::cerr << ProgramName() << ": no sound: " << SDL_GetError() << '\n';
    }
    for (int i = 0; i < SDL_NumJoysticks() && !gamepad_; ++i)
        if (SDL_IsGameController(i)) gamepad_ = SDL_GameControllerOpen(i);
    return true;
}

void Window::present(std::uint64_t field, const console::Picture& picture)
{
    std::lock_guard lock(mutex_);
    latest_ = picture;
    latestField_ = field;
    fresh_ = true;
}

void Window::play(std::span<const std::int16_t> samples)
{
    if (!audio_) return;
    if (SDL_GetQueuedAudioSize(audio_) > kMaxQueuedFields * kFieldBytes) SDL_ClearQueuedAudio(audio_);
    SDL_QueueAudio(audio_, samples.data(), static_cast<Uint32>(samples.size_bytes()));
}

pad::Input Window::input()
{
    std::lock_guard lock(mutex_);
    pad::Input input = input_;
    // Drag moves the stick by what the mouse moved since the last field; what a full stick cannot take
    // is kept for the next fields.
    const auto take = [](int& drag) {
        const int deflection = std::clamp(drag * kStickPerPixel, -127, 127);
        drag -= deflection / kStickPerPixel;
        return static_cast<std::uint8_t>(128 + deflection);
    };
    if (dragX_ != 0 || dragY_ != 0) {
        input.leftX = take(dragX_);
        input.leftY = take(dragY_);
    }
    if (zoomFields_ > 0) {
        input.buttons |= PAD_R1;
        --zoomFields_;
    } else if (zoomFields_ < 0) {
        input.buttons |= PAD_L1;
        ++zoomFields_;
    }
    return input;
}

bool Window::holdWhilePaused()
{
    std::unique_lock lock(mutex_);
    if (!paused_) return false;
    resumed_.wait(lock, [&] { return !paused_ || steps_ > 0 || closed_; });
    if (steps_ > 0) --steps_;
    return true;
}

void Window::setPaused(bool paused)
{
    std::uint64_t field;
    {
        std::lock_guard lock(mutex_);
        paused_ = paused;
        steps_ = 0;
        field = latestField_;
    }
    resumed_.notify_all();
    if (audio_) SDL_PauseAudioDevice(audio_, paused ? 1 : 0);
    showTitle(paused, field);
}

void Window::showTitle(bool paused, std::uint64_t field)
{
    std::string title = ProgramName();
    if (paused) title += " - paused at field " + std::to_string(field) + " (Space resumes, . steps)";
    SDL_SetWindowTitle(window_, title.c_str());
}

void Window::stop()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    resumed_.notify_all();
}

void Window::close()
{
    stop();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void Window::run()
{
    while (!closed_) {
        if (Interruption() != 0) close();
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 10)) handle(&event);
        redraw();
    }
}

void Window::handle(const void* raw)
{
    const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
    if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)) stop();
    if (event.type == SDL_KEYDOWN && !event.key.repeat) {
        switch (event.key.keysym.sym) {
        case SDLK_F12: savePicture(); break;
        case SDLK_F11: {
            const bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
            SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
            break;
        }
        case SDLK_SPACE: setPaused(!paused_); break;
        case SDLK_PERIOD:
            if (paused_) {
                {
                    std::lock_guard lock(mutex_);
                    ++steps_;
                }
                resumed_.notify_all();
            }
            break;
        default: break;
        }
    }
    if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) dragging_ = true;
    if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) dragging_ = false;
    if (event.type == SDL_MOUSEMOTION && dragging_) {
        std::lock_guard lock(mutex_);
        dragX_ += event.motion.xrel;
        dragY_ += event.motion.yrel;
    }
    if (event.type == SDL_MOUSEWHEEL) {
        std::lock_guard lock(mutex_);
        zoomFields_ = std::clamp(zoomFields_ + event.wheel.y * kFieldsPerNotch, -25, 25);
    }
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        for (const KeyButton& k : kKeyButtons) {
            if (event.key.keysym.sym != k.key) continue;
            if (event.type == SDL_KEYDOWN) keys_.buttons |= k.button;
            else keys_.buttons &= static_cast<std::uint16_t>(~k.button);
        }
    }
    pad::Input input = keys_;
    if (gamepad_) {
        const auto axis = [&](SDL_GameControllerAxis a) { return StickAxis(SDL_GameControllerGetAxis(gamepad_, a)); };
        input.leftX = axis(SDL_CONTROLLER_AXIS_LEFTX);
        input.leftY = axis(SDL_CONTROLLER_AXIS_LEFTY);
        input.rightX = axis(SDL_CONTROLLER_AXIS_RIGHTX);
        input.rightY = axis(SDL_CONTROLLER_AXIS_RIGHTY);
        const std::pair<SDL_GameControllerButton, std::uint16_t> buttons[] = {
            {SDL_CONTROLLER_BUTTON_A, PAD_CROSS}, {SDL_CONTROLLER_BUTTON_B, PAD_CIRCLE},
            {SDL_CONTROLLER_BUTTON_X, PAD_SQUARE}, {SDL_CONTROLLER_BUTTON_Y, PAD_TRIANGLE},
            {SDL_CONTROLLER_BUTTON_START, PAD_START}, {SDL_CONTROLLER_BUTTON_BACK, PAD_SELECT},
            {SDL_CONTROLLER_BUTTON_DPAD_UP, PAD_UP}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PAD_DOWN},
            {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PAD_LEFT}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PAD_RIGHT},
            {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PAD_L1}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PAD_R1},
        };
        for (const auto& [button, bit] : buttons)
            if (SDL_GameControllerGetButton(gamepad_, button)) input.buttons |= bit;
    } else {
        // Without a game controller the arrow keys also push the left stick.
        if (keys_.buttons & PAD_LEFT) input.leftX = 0;
        if (keys_.buttons & PAD_RIGHT) input.leftX = 255;
        if (keys_.buttons & PAD_UP) input.leftY = 0;
        if (keys_.buttons & PAD_DOWN) input.leftY = 255;
    }
    std::lock_guard lock(mutex_);
    input_ = input;
}

// Saves the field on show as the window shows it, 4:3 in square pixels, as orbdemo-NNNNN.png in the working
// directory.
void Window::savePicture()
{
    console::Picture picture;
    std::uint64_t field;
    {
        std::lock_guard lock(mutex_);
        picture = latest_;
        field = latestField_;
    }
    if (picture.pixels.empty()) return;
    char number[24];
    std::snprintf(number, sizeof number, "-%05llu.png", static_cast<unsigned long long>(field));
    const std::string name = ProgramName() + number;
    std::string error;
    if (WritePng(name, Scaled(picture, kShownWidth, kShownHeight), error)) {
        std::error_code ec;
        const auto where = std::filesystem::absolute(name, ec);
        std::cerr << ProgramName() << ": saved field " << field << " as " << (ec ? name : where.string()) << " ("
                  << kShownWidth << " x " << kShownHeight << ", as shown)\n";
    } else {
        std::cerr << ProgramName() << ": " << error << '\n';
    }
}

void Window::redraw()
{
    {
        // The console's thread must not wait for the screen's refresh: take the picture and let go.
        std::lock_guard lock(mutex_);
        if (!fresh_) return;
        fresh_ = false;
        shown_ = latest_;
        // A step while paused shows its field in the title.
        if (paused_) showTitle(true, latestField_);
    }
    if (!texture_) {
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STREAMING,
                                     static_cast<int>(shown_.width), static_cast<int>(shown_.height));
        if (!texture_) return;
    }
    SDL_UpdateTexture(texture_, nullptr, shown_.pixels.data(), static_cast<int>(shown_.width * 4));
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

} // namespace frontend
