#include "console/gs/band_thread.h"

namespace gs {
namespace {

bool Textured(const DrawSetup& s) { return (s.features & kTexture) != 0; }
bool DepthUsed(const DrawSetup& s) { return (s.features & (kDepthTest | kDepthWrite)) != 0; }

} // namespace

Gs::Gs(console::Log& log) : log_(log) {}

Gs::Gs(console::Log& log, const Gs& console, BandMeeting& meeting, int split)
    : log_(log), memory_(console.memory_.share()), regs_(console.regs_), gif_(console.gif_), q_(console.q_),
      host_(console.host_), queue_(console.queue_), queued_(console.queued_)
{
    band_.y0 = split;
    band_.meeting = &meeting;
    band_.console = false;
}

Gs::~Gs() = default;

void Gs::shareRows(int split)
{
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    static_cast<void>(split); // no second thread here
#else
    // Where the first split lies; balance() moves it to where the two sides take about as long.
    constexpr int kFirstSplit = 160;
    if (bandThread_) return;
    bandThread_ = std::make_unique<BandThread>(*this, split < 0 ? kFirstSplit : split, split < 0);
    band_.meeting = &bandThread_->meeting();
    band_.y1 = bandThread_->split() - 1;
    band_.hazards.clear();
    setupValid_ = false;
#endif
}

// Decides how a new setup's primitives are shared, and records what they write. One that reads or
// writes a page through two shapes at once is drawn whole by the console's side.
void Gs::shareSetup()
{
    DrawSetup& s = setup_;
    const BufferShape frame{s.frameBase, s.frameWidth, s.frameLayout};
    const BufferShape depth{s.zBase, s.frameWidth, s.zLayout};
    const Pages framePages = BlockPagesUpTo(s.frameBase, s.frameWidth, s.scissorX1, s.scissorY1);
    const Pages depthPages = BlockPagesUpTo(s.zBase, s.frameWidth, s.scissorX1, s.scissorY1);
    const Pages texturePages = BlockPagesUpTo(s.texBase, s.texWidth, s.texMaskU, s.texMaskV);
    const bool depthUsed = DepthUsed(s), textured = Textured(s);
    // A row reaches the next page row when the scissor is wider than the buffer, and memory wraps at its end:
    // then two rows of one buffer may share words.
    const bool aliases = s.scissorX1 >= static_cast<int>(64 * s.frameWidth) || framePages.last >= kPages ||
                         (depthUsed && depthPages.last >= kPages) || (textured && texturePages.last >= kPages);
    band_.sharedSetup = !aliases && !(depthUsed && framePages.meets(depthPages)) &&
                        !(textured && (texturePages.meets(framePages) || (depthUsed && texturePages.meets(depthPages))));
    if (!band_.sharedSetup) return;
    recordOrMeet([&] {
        return band_.hazards.write(framePages, frame) && (!depthUsed || band_.hazards.write(depthPages, depth)) &&
               (!textured || band_.hazards.read(texturePages));
    });
    s.scissorY0 = std::max(s.scissorY0, band_.y0);
    s.scissorY1 = std::min(s.scissorY1, band_.y1);
}

// Waits until the other side reaches the same point of the stream.
void Gs::meetBands()
{
    band_.meeting->arriveAndWait();
    band_.hazards.clear();
    ++band_.meetings;
}

void Gs::aloneOnConsoleSide(void (Gs::*work)())
{
    if (!band_.meeting) return (this->*work)();
    meetBands();
    if (band_.console) (this->*work)();
    meetBands();
}

void Gs::drainBands() const
{
    if (bandThread_) bandThread_->drain();
}

LocalMemory& Gs::memory()
{
    drainBands();
    return memory_;
}

const LocalMemory& Gs::memory() const
{
    drainBands();
    return memory_;
}

Gs::BandMeetings Gs::bandMeetings() const
{
    return {band_.meetings, bandThread_ ? bandThread_->meetings() : 0};
}

u64 Gs::pixelsDrawn() const { return pixelsDrawn_ + (bandThread_ ? bandThread_->pixelsDrawn() : 0); }

} // namespace gs
