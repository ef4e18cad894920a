#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "console/gs/band_hazards.h"
#include "console/gs/draw_setup.h"
#include "console/gs/layout.h"
#include "console/gs/memory.h"
#include "console/gs/regs.h"
#include "console/log.h"
#include "console/picture.h"

namespace gs {

// One 128-bit unit of the GIF stream.
struct Qword {
    u64 lo = 0;
    u64 hi = 0;
};

// Sees every input of the GS in order: what a dump records and a replay feeds back.
class Observer {
public:
    virtual ~Observer() = default;
    virtual void privilegedWrite(u32 offset, u64 value) = 0;
    virtual void crtMode(u8 interlace, u8 mode, u8 ffmd) = 0;
    virtual void gifTransfer(const Qword* data, u32 count) = 0;
    virtual void vblank() = 0;
};

// Offsets of the privileged registers from 0x12000000.
enum PrivilegedOffset : u32 {
    PMODE = 0x0000, SMODE1 = 0x0010, SMODE2 = 0x0020, SRFSH = 0x0030, SYNCH1 = 0x0040, SYNCH2 = 0x0050,
    SYNCV = 0x0060, DISPFB1 = 0x0070, DISPLAY1 = 0x0080, DISPFB2 = 0x0090, DISPLAY2 = 0x00A0,
    EXTBUF = 0x00B0, EXTDATA = 0x00C0, EXTWRITE = 0x00D0, BGCOLOR = 0x00E0,
    CSR = 0x1000, IMR = 0x1010, BUSDIR = 0x1040, SIGLBLID = 0x1080,
};

inline constexpr u64 kCsrSignal = 1u << 0;
inline constexpr u64 kCsrFinish = 1u << 1;
inline constexpr u64 kCsrHsint = 1u << 2;
inline constexpr u64 kCsrVsint = 1u << 3;
inline constexpr u64 kCsrEdwint = 1u << 4;
inline constexpr u64 kCsrReset = 1u << 9;
inline constexpr u64 kCsrNfield = 1u << 12;
inline constexpr u64 kCsrFifoEmpty = 1u << 14;

// A vertex as the vertex queue holds it: primitive coordinates and the attributes at its kick.
struct Vertex {
    u32 x = 0, y = 0; // 12.4, before XYOFFSET
    u32 z = 0;
    Rgbaq colour;
    float s = 0, t = 0;
    u32 u = 0, v = 0; // 10.4
    u8 fog = 0;
};

// The privileged registers as a snapshot needs them: the video mode and every register a write sets.
struct PrivilegedState {
    u8 interlace = 0, mode = 0, ffmd = 0;
    std::vector<std::pair<u32, u64>> writable;
};

struct DisplayCircuit {
    u32 fbp = 0, fbw = 0, dbx = 0, dby = 0;
    u8 psm = 0;
    u32 dx = 0, dy = 0, magh = 0, magv = 0, dw = 0, dh = 0;
};

class BandMeeting;
class BandThread;

// The Graphics Synthesizer: local memory, the GIF (PATH3), the drawing registers and rasterizer,
// host-to-local transfers, and the privileged registers with the display circuit.
class Gs {
public:
    explicit Gs(console::Log& log);
    ~Gs();

    // From now on a second thread draws the lower rows of every primitive (band_thread.h): rows from
    // `split` on, or, by default, from a split that moves to where both threads wait least.
    void shareRows(int split = -1);

    void setObserver(Observer* observer) { observer_ = observer; }

    // privileged.cpp
    void writePrivileged(u32 offset, u64 value);
    u64 readPrivileged(u32 offset) const;
    void setCrtMode(u8 interlace, u8 mode, u8 ffmd);
    void vblank();
    bool vsintPending() const { return (csr_ & kCsrVsint) != 0; }

    // gif.cpp
    void transfer(const Qword* data, u32 count);

    // regs.cpp
    const Registers& registers() const { return regs_; }

    // display.cpp
    void readPicture(console::Picture& out) const;
    const DisplayCircuit& circuit(int n) const { return circuits_[n & 1]; }
    u64 pmode() const { return pmode_; }
    u64 imr() const { return imr_; }
    PrivilegedState privilegedState() const;

    LocalMemory& memory();
    const LocalMemory& memory() const;
    // Pixels that passed every test and were written, since power-on.
    u64 pixelsDrawn() const;
    // Times this GS and its band thread met, as each side counted them.
    struct BandMeetings {
        u64 console = 0, thread = 0;
    };
    BandMeetings bandMeetings() const;

private:
    struct GifPath {
        u64 tagHi = 0;      // the register descriptors
        u32 remaining = 0;  // qwords (PACKED, IMAGE) or dwords (REGLIST) still to come
        u32 nreg = 0;
        u32 reg = 0;        // next descriptor
        u8 flg = 0;
        bool inPacket = false; // a tag's data is still expected
    };

    struct HostTransfer {
        bool active = false;
        bool full = false; // the rectangle was filled
        u32 x = 0, y = 0;  // next pixel, relative to DSAX, DSAY
        u32 width = 0, height = 0;
        u32 dbp = 0, dbw = 0;
        u32 dsax = 0, dsay = 0;
        const Layout32* layout = nullptr;
    };

    // privileged.cpp
    void reset();

    // gif.cpp
    void packed(const Qword& q, u8 descriptor);
    void reglist(u64 data, u8 descriptor);

    // regs.cpp; registers are written only through the GIF, which a band thread also sees
    void writeRegister(u8 address, u64 value);
    void decode(u8 address, u64 value);
    // The vertex data registers, which leave the drawing setup as it is.
    void decodeRgbaq(u64 value);
    void decodeUv(u64 value);
    void decodeXyz(u64 value, bool draw);

    // kick.cpp
    // A vertex at (x, y, z) with the vertex registers' colour and texture coordinates.
    void vertexKick(u32 x, u32 y, u32 z, u8 fog, bool draw);
    void drawPrimitive();
    // The primitive in the queue, through the rasterizer its type takes.
    void rasterize();
    const DrawSetup* drawSetup(const Vertex& last);
    void useBlendTable(const Rgbaq& colour, bool build);

    // transfer.cpp
    void startTransfer(u8 direction);
    void transferData(u64 data);
    void localToLocal();

    // band_share.cpp
    // The band thread's side of a GS (band_thread.h): draws into `console`'s memory, rows `split` on.
    Gs(console::Log& log, const Gs& console, BandMeeting& meeting, int split);
    void shareSetup();
    void meetBands();
    // Runs `record` (true when the band record took it); when it could not, the sides meet, which empties the
    // record, and it runs again.
    template <typename Record>
    void recordOrMeet(const Record& record)
    {
        if (record()) return;
        meetBands();
        record();
    }
    // Work the sides cannot share: with a band thread, they meet before and after and the console's side does it.
    void aloneOnConsoleSide(void (Gs::*work)());
    void drainBands() const;

    // raster_*.cpp
    void drawPoint(const Vertex& v);
    void drawLine(const Vertex& a, const Vertex& b);
    void drawTriangle(const Vertex& a, const Vertex& b, const Vertex& c);
    void drawSprite(const Vertex& a, const Vertex& b);

    mutable console::OnceLog log_;
    Observer* observer_ = nullptr;
    LocalMemory memory_;
    Registers regs_;
    GifPath gif_;
    float q_ = 1.0f; // internal Q latch of the GIF's PACKED ST
    HostTransfer host_;

    DrawSetup setup_;          // derived from the registers; rebuilt after any write but vertex data
    bool setupValid_ = false;
    bool setupDrawable_ = false;
    std::array<u32, 768> blendTable_{};
    u32 blendTableKey_ = 0;
    bool blendTableValid_ = false;

    std::array<Vertex, 3> queue_{};
    u32 queued_ = 0;    // vertices held

    u64 pmode_ = 0, smode1_ = 0, smode2_ = 0, bgcolor_ = 0, imr_ = 0, siglblid_ = 0, busdir_ = 0;
    std::array<u64, 2> dispfb_{}, display_{};
    std::array<DisplayCircuit, 2> circuits_{};
    u64 csr_ = kCsrFifoEmpty;
    u8 crtInterlace_ = 0, crtMode_ = 0, crtFfmd_ = 0;

    u64 pixelsDrawn_ = 0;

    // Rows shared with a band thread: the window rows this side draws, where the sides meet, and what
    // both wrote since they last met.
    struct BandShare {
        int y0 = 0, y1 = INT_MAX;
        BandMeeting* meeting = nullptr;    // null while this GS draws alone
        bool console = true;               // the console's side: draws what cannot be shared
        bool sharedSetup = true;           // the current setup's rows are split between the sides
        BandHazards hazards;
        u64 meetings = 0;
    };
    BandShare band_;
    std::unique_ptr<BandThread> bandThread_; // the console's side owns the thread
    friend class BandThread;
};

} // namespace gs
