#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "console/check/block_set.h"
#include "console/check/findings.h"
#include "console/dmac/dmac.h"
#include "console/gs/gs.h"

namespace check {

// Watches everything the GS is sent (and, in a running console, what DMA channel 2 sends and the cache
// write-backs) and reports what is wrong with it. It walks the GIF stream itself and keeps a shadow of
// the few registers it needs, so it does not lean on the GS model's insides.
class GsChecker final : public gs::Observer, public dmac::Observer {
public:
    explicit GsChecker(Findings& findings);

    // gs::Observer
    void privilegedWrite(u32 offset, u64 value) override;
    void crtMode(u8 interlace, u8 mode, u8 ffmd) override;
    void gifTransfer(const gs::Qword* data, u32 count) override;
    void vblank() override;

    // dmac::Observer
    void transferStarts(const gs::Qword* data, u32 quadwords, u64 address) override;
    void cacheFlushed() override;

    // The run is over: what is still open is reported.
    void finish();

private:
    struct Vertex {
        float x = 0, y = 0; // 12.4 units, before XYOFFSET
        float s = 0, t = 0, q = 1;
        float u = 0, v = 0; // texels
    };

    struct Context {
        u64 tex0 = 0, frame = 0, zbuf = 0, scissor = 0, xyoffset = 0, test = 0, clamp = 0;
        bool targetsValid = false;
        bool overlap = false;          // the two areas below share blocks
        u64 generation = 0;            // counts rebuilds of the areas
        BlockSet frameArea, depthArea; // the scissored frame and depth buffer areas
    };

    // The transfer of image data to local memory that TRXDIR 0 started.
    struct ImageTransfer {
        bool active = false;
        std::string where;
        u64 expected = 0; // 64-bit units the rectangle needs
        u64 received = 0;
        u32 dbp = 0, dbw = 0, x = 0, y = 0, w = 0, h = 0;
        u8 psm = 0;
        std::string size;      // "W x H, format F", for messages
        bool finished = false; // the rectangle was filled
        bool overrun = false;  // data past the rectangle was reported
    };

    // A transfer that ended with its packet open, waiting for the next transfer to go on with it.
    enum class Open : u8 { No, InTag, NoEop };

    // A channel-2 transfer's data since the last cache write-back.
    struct Sent {
        u64 address = 0;
        std::vector<gs::Qword> data;
    };

    std::string where(u32 qword) const;
    std::string transferName() const;
    void reset();

    // The GIF stream.
    void readTag(const gs::Qword* data, u32 count, u32 i);
    void packed(const gs::Qword& q, u8 descriptor);
    void write(u8 reg, u64 value, bool raw);
    void reportOpenPacket();

    // Drawing.
    void vertex(u64 xy, bool kick);
    void primitive(const Vertex* v, u32 n);
    Context& context();
    void updateTargets(Context& c);
    bool depthInUse(const Context& c) const;
    bool textureRect(const Context& c, const Vertex* v, u32 n, Rect& out) const;

    // Transfers to local memory.
    void startTransfer(u8 direction);
    void imageData(u32 dwords, u32 qword);
    void endImage();
    void markWritten(u32 bp, u32 bw, u8 psm, const Rect& r);

    Findings& findings_;

    // Where the stream is.
    u64 field_ = 0;
    u32 transfer_ = 0;     // transfers in this field, counted from 1
    u64 source_ = 0;       // EE address of the transfer under way, 0 when unknown
    bool sourceKnown_ = false;
    u32 qword_ = 0;        // the qword being read

    // The GIF's place.
    bool inTag_ = false;
    u64 tagLo_ = 0, tagHi_ = 0;
    u32 nreg_ = 0, reg_ = 0;
    u64 remaining_ = 0; // qwords (PACKED, IMAGE) or dwords (REGLIST)
    u8 flg_ = 0;
    bool lastEop_ = true;
    float qLatch_ = 1.0f;
    Open open_ = Open::No;
    std::string openWhere_, openWhat_;

    // The registers.
    bool primSet_ = false;
    u64 prim_ = 0, prmode_ = 0;
    bool prmodecont_ = true;
    float s_ = 0, t_ = 0, q_ = 1, u_ = 0, v_ = 0;
    std::array<Context, 2> ctx_;
    u64 bitbltbuf_ = 0, trxpos_ = 0, trxreg_ = 0;
    std::array<Vertex, 3> queue_{};
    u32 queued_ = 0;
    ImageTransfer image_;

    // Local memory written since power-on; the count goes up whenever a block is first written.
    BlockSet written_;
    u64 writtenCount_ = 0;
    // The last texture area found clean, so that a run of primitives on one texture is checked once.
    u64 cleanTex0_ = ~u64{0};
    Rect cleanRect_;
    u64 cleanWritten_ = 0;
    u64 cleanGeneration_ = 0;
    u32 cleanContext_ = 0;

    // DMA.
    std::deque<Sent> sent_;
    std::size_t sentQwords_ = 0;
};

} // namespace check
