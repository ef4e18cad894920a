// The demo in a web page: the console model runs the program; the page draws its fields, plays its song
// through the sound worklet and hands it the keys. The program waits for its blanks by handing the page its
// turn (Asyncify), so one thread does it all.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/iop/linked_module.h"
#include "console/machine.h"
#include "web/field_pacer.h"
#include "web/page_host.h"
#include "web/worklet_player.h"

int EeMain(int argc, char** argv);

// The page's side, in page.js.
EM_JS(double, orb_page_clock, (), { return Module.orbPage.clock(); });
EM_JS(void, orb_page_message, (const char* text), { Module.orbPage.message(UTF8ToString(text)); });
EM_JS(void, orb_page_song, (const char* what, double at, const std::uint8_t* bytes, std::uint32_t size, std::uint32_t value), {
    Module.orbPage.song(UTF8ToString(what), at, bytes ? HEAPU8.slice(bytes, bytes + size) : null, value);
});
EM_JS(int, orb_page_song_position, (int which), { return Module.orbPage.songPosition(which); });

namespace {

double RunStart = 0.0, RunEnd = 0.0;

// Blanks on the page's clock; while the program is held (a chosen field reached) it waits for good.
class PageClock final : public console::VblankClock {
public:
    PageClock(web::PageHost& host, double periodMs) : host_(host), pacer_(periodMs) {}

    std::uint32_t due() override { return 0; }
    void waitForVblank() override
    {
        if (RunStart == 0.0) RunStart = emscripten_get_now();
        if (host_.holding() && RunEnd == 0.0) RunEnd = emscripten_get_now();
        for (;;) {
            const double now = orb_page_clock();
            const double wait = host_.holding() ? 100.0 : pacer_.waitFor(now);
            if (wait <= 0.0) break;
            // The page's timers are coarse; never sleep past the blank, and look again at least every 50 ms.
            emscripten_sleep(static_cast<unsigned>(wait < 50.0 ? wait : 50.0));
            pacer_.yielded(orb_page_clock());
        }
        const double now = orb_page_clock();
        if (pacer_.yieldBefore(now)) {
            emscripten_sleep(0);
            pacer_.yielded(orb_page_clock());
        }
        pacer_.delivered();
    }
    // When the next blank is due on the page's clock: a command the program gives now takes effect then,
    // as the console's sound for the next field is made at that blank.
    double nextDue() const { return pacer_.nextDue(); }
    web::FieldPacer& pacer() { return pacer_; }

private:
    web::PageHost& host_;
    web::FieldPacer pacer_;
};


PageClock* Clock = nullptr;

double CommandTime() { return Clock ? Clock->nextDue() : 0.0; }

// The song's commands go to the page's worklet, each timed for the blank it belongs to.
class WorkletSink final : public web::SongSink {
public:
    void load(std::span<const std::uint8_t> bytes) override
    {
        orb_page_song("load", CommandTime(), bytes.data(), static_cast<std::uint32_t>(bytes.size()), 0);
    }
    void play() override { orb_page_song("play", CommandTime(), nullptr, 0, 0); }
    void stop() override { orb_page_song("stop", CommandTime(), nullptr, 0, 0); }
    void setVolume(std::uint32_t volume) override { orb_page_song("volume", CommandTime(), nullptr, 0, volume); }
    void unload() override { orb_page_song("unload", CommandTime(), nullptr, 0, 0); }
    Position position() override
    {
        return {orb_page_song_position(0), orb_page_song_position(1), orb_page_song_position(2),
                orb_page_song_position(3)};
    }
};

web::PageHost Host([](std::string_view text) { orb_page_message(std::string(text).c_str()); });
WorkletSink Sink;

} // namespace

extern "C" {

// The newest field for the canvas, or null when the page has drawn it already.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* orb_take_picture()
{
    const auto* rgba = Host.take();
    return rgba ? rgba->data() : nullptr;
}
EMSCRIPTEN_KEEPALIVE std::uint32_t orb_picture_width() { return Host.width(); }
EMSCRIPTEN_KEEPALIVE std::uint32_t orb_picture_height() { return Host.height(); }
EMSCRIPTEN_KEEPALIVE double orb_fields() { return static_cast<double>(Host.fields()); }
EMSCRIPTEN_KEEPALIVE double orb_shown_field() { return static_cast<double>(Host.shownField()); }
EMSCRIPTEN_KEEPALIVE double orb_not_shown() { return static_cast<double>(Host.notShown()); }
EMSCRIPTEN_KEEPALIVE double orb_behind() { return Clock ? static_cast<double>(Clock->pacer().behind(orb_page_clock())) : 0.0; }
EMSCRIPTEN_KEEPALIVE int orb_holding() { return Host.holding() ? 1 : 0; }
// Milliseconds from the first blank to the held field, once held.
EMSCRIPTEN_KEEPALIVE double orb_run_ms() { return RunEnd - RunStart; }
// A key went down or up; 1 when it is one of the controller's.
EMSCRIPTEN_KEEPALIVE int orb_key(const char* code, int down) { return Host.keys().press(code, down != 0) ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE void orb_release_keys() { Host.keys().releaseAll(); }

}

// Options, from the page's address: --fast (no pacing), --no-picture, --hold N (stop with field N on show).
int main(int argc, char** argv)
{
    double period = 20.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fast") == 0) period = 0.0;
        if (std::strcmp(argv[i], "--no-picture") == 0) Host.showPictures(false);
        if (std::strcmp(argv[i], "--hold") == 0 && i + 1 < argc) Host.holdAfter(std::strtoull(argv[++i], nullptr, 10));
    }
    web::SetPlayerSink(&Sink);
    iop::LinkModule({"AMIGAMOD.IRX", web::PlayerStart, web::PlayerStop, web::PlayerImports});

    static PageClock clock(Host, period);
    Clock = &clock;
    static console::Machine machine(Host, clock);
    machine.iop().setHostDirectory("/host");

    char name[] = "orbdemo";
    char* programArgv[] = {name, nullptr};
    const int status = EeMain(1, programArgv);
    orb_page_message(("the program's main returned " + std::to_string(status)).c_str());
    return status;
}
