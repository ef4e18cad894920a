#include "console/check/gs_checker.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "console/check/register_bits.h"
#include "console/gs/bits.h"
#include "console/log.h"

namespace check {
namespace {

using console::Hex;

using gs::Bit;
using gs::Bits;

enum Flg : u8 { kPacked = 0, kReglist = 1, kImage = 2 };
constexpr u64 kTex2Bits = ((u64{1} << 6) - 1) << 20 | ~u64{0} << 37;
constexpr u64 kCsrReset = 1u << 9;
constexpr u32 kCsr = 0x1000;
constexpr u32 kPages = kBlocks / kBlocksPerPage;

std::string TagText(u64 lo)
{
    static constexpr const char* kModes[] = {"PACKED", "REGLIST", "IMAGE", "IMAGE"};
    const u32 nreg = Bits(lo, 60, 4);
    return "GIF tag " + std::string(kModes[Bits(lo, 58, 2)]) + " NLOOP " + std::to_string(Bits(lo, 0, 15)) +
           " NREG " + std::to_string(nreg == 0 ? 16 : nreg) + " EOP " + std::to_string(Bits(lo, 15, 1));
}

std::string RectText(const Rect& r)
{
    return std::to_string(r.x1 - r.x0) + " x " + std::to_string(r.y1 - r.y0) + " at (" + std::to_string(r.x0) +
           ", " + std::to_string(r.y0) + ")";
}

std::string BufferText(const char* what, u32 block, u32 bw, u8 psm)
{
    return std::string(what) + " at block " + Hex(block) + " (width " + std::to_string(bw) + ", format " + Hex(psm) +
           ")";
}

// Vertices a primitive of each PRIM type takes.
constexpr u32 kVertices[8] = {1, 2, 2, 3, 3, 3, 2, 0};

} // namespace

GsChecker::GsChecker(Findings& findings) : findings_(findings) {}

std::string GsChecker::transferName() const
{
    std::string text = "field " + std::to_string(field_) + ", transfer " + std::to_string(transfer_);
    if (source_ != 0) text += " from " + Hex(source_);
    return text;
}

std::string GsChecker::where(u32 qword) const { return transferName() + ", qword " + std::to_string(qword); }

// ---- the GS's inputs ----

void GsChecker::privilegedWrite(u32 offset, u64 value)
{
    if (offset == kCsr && (value & kCsrReset)) reset();
}

void GsChecker::crtMode(u8, u8, u8) {}

void GsChecker::vblank()
{
    reportOpenPacket();
    ++field_;
    transfer_ = 0;
    source_ = 0;
}

void GsChecker::finish()
{
    reportOpenPacket();
    endImage();
}

// A reset clears the registers and the GIF; local memory keeps what it holds.
void GsChecker::reset()
{
    endImage();
    open_ = Open::No;
    inTag_ = false;
    lastEop_ = true;
    qLatch_ = 1.0f;
    primSet_ = false;
    prim_ = prmode_ = 0;
    prmodecont_ = true;
    s_ = t_ = u_ = v_ = 0;
    q_ = 1.0f;
    ctx_ = {};
    bitbltbuf_ = trxpos_ = trxreg_ = 0;
    queued_ = 0;
    cleanTex0_ = ~u64{0};
}

// ---- DMA ----

void GsChecker::transferStarts(const gs::Qword* data, u32 quadwords, u64 address)
{
    source_ = address;
    sourceKnown_ = true;
    const u64 end = address + u64{quadwords} * 16;
    for (const Sent& s : sent_) {
        const u64 sEnd = s.address + s.data.size() * 16;
        const u64 from = std::max(address, s.address), to = std::min(end, sEnd);
        if (from >= to) continue;
        const auto* now = reinterpret_cast<const unsigned char*>(data) + (from - address);
        const auto* then = reinterpret_cast<const unsigned char*>(s.data.data()) + (from - s.address);
        if (std::memcmp(now, then, to - from) == 0) continue;
        findings_.report(Kind::StaleDma,
                         "field " + std::to_string(field_) + ", transfer " + std::to_string(transfer_ + 1) + " from " +
                             Hex(address),
                         "channel 2 sends " + std::to_string(to - from) + " bytes at " + Hex(from) +
                             " that changed since it last sent them, with no FlushCache between: the console would "
                             "send what the data cache has not written back");
        break;
    }
    sent_.push_back({address, std::vector<gs::Qword>(data, data + quadwords)});
    sentQwords_ += quadwords;
    // Keep a bounded history for a program that never writes the cache back.
    while (sent_.size() > 256 || sentQwords_ > (u64{1} << 20)) {
        sentQwords_ -= sent_.front().data.size();
        sent_.pop_front();
    }
}

void GsChecker::cacheFlushed()
{
    sent_.clear();
    sentQwords_ = 0;
}

// ---- the GIF stream ----

void GsChecker::gifTransfer(const gs::Qword* data, u32 count)
{
    ++transfer_;
    if (!sourceKnown_) source_ = 0;
    sourceKnown_ = false;
    // A packet may go on in the next transfer.
    open_ = Open::No;
    for (u32 i = 0; i < count; ++i) {
        qword_ = i;
        const gs::Qword& q = data[i];
        if (!inTag_) {
            // Bits 16-45 of a tag are unused: a "tag" with any set is data the tags before did not count.
            if (Bits(q.lo, 16, 30) != 0) {
                findings_.report(Kind::DataLeftOver, where(i),
                                 std::to_string(count - i) + " qwords " +
                                     (lastEop_ ? "after the end of the packet (EOP)"
                                               : "beyond what the packet's tags count") +
                                     " do not start with a GIF tag (unused bits 16-45 set in " + Hex(q.lo) + ")");
                lastEop_ = true;
                return;
            }
            readTag(data, count, i);
            continue;
        }
        switch (flg_) {
        case kPacked:
            packed(q, static_cast<u8>(Bits(tagHi_, 4 * reg_, 4)));
            reg_ = (reg_ + 1) % nreg_;
            --remaining_;
            break;
        case kReglist:
            for (const u64 dword : {q.lo, q.hi}) {
                if (remaining_ == 0) break;
                const u8 descriptor = static_cast<u8>(Bits(tagHi_, 4 * reg_, 4));
                if (descriptor != 0xE && descriptor != 0xF) write(descriptor, dword, true);
                reg_ = (reg_ + 1) % nreg_;
                --remaining_;
            }
            break;
        default:
            imageData(2, i);
            --remaining_;
            break;
        }
        if (remaining_ == 0) {
            inTag_ = false;
            lastEop_ = Bit(tagLo_, 15);
        }
    }
    if (inTag_) {
        open_ = Open::InTag;
        openWhere_ = where(count);
        const u64 qwords = flg_ == kReglist ? (remaining_ + 1) / 2 : remaining_;
        openWhat_ = TagText(tagLo_) + " still needs " + std::to_string(qwords) +
                    " qwords at the end of the transfer, and no transfer carried them before ";
    } else if (!lastEop_) {
        open_ = Open::NoEop;
        openWhere_ = where(count);
        openWhat_ = "the transfer ends inside a GIF packet (its last tag has no EOP), and no transfer went on with it "
                    "before ";
    }
}

void GsChecker::readTag(const gs::Qword* data, u32 count, u32 i)
{
    const u64 lo = data[i].lo;
    const u32 nloop = Bits(lo, 0, 15);
    const u32 nreg = Bits(lo, 60, 4);
    tagLo_ = lo;
    tagHi_ = data[i].hi;
    flg_ = static_cast<u8>(Bits(lo, 58, 2));
    if (flg_ == 3) flg_ = kImage;
    nreg_ = nreg == 0 ? 16 : nreg;
    reg_ = 0;
    qLatch_ = 1.0f;
    if (nloop == 0) {
        lastEop_ = Bit(lo, 15);
        return;
    }
    if (flg_ == kPacked) {
        for (u32 r = 0; r < nreg_; ++r)
            if (Bits(tagHi_, 4 * r, 4) == 0xB) {
                findings_.report(Kind::ReservedBits, where(i),
                                 TagText(lo) + " uses the reserved register descriptor 0xB");
                break;
            }
        if (Bit(lo, 46)) write(0x00, Bits(lo, 47, 11), false);
    }
    remaining_ = flg_ == kImage ? u64{nloop} : u64{nloop} * nreg_;
    inTag_ = true;
    (void)count;
}

void GsChecker::reportOpenPacket()
{
    if (open_ == Open::InTag) findings_.report(Kind::TagPastEnd, openWhere_, openWhat_ + "the field ended");
    if (open_ == Open::NoEop) findings_.report(Kind::EopMissing, openWhere_, openWhat_ + "the field ended");
    open_ = Open::No;
}

// One PACKED qword through its descriptor, as the GIF turns it into a register write.
void GsChecker::packed(const gs::Qword& q, u8 descriptor)
{
    switch (descriptor) {
    case 0x0: write(0x00, Bits(q.lo, 0, 11), false); break;
    case 0x1: q_ = qLatch_; break;
    case 0x2:
        s_ = gs::BitCast<float>(Bits(q.lo, 0, 32));
        t_ = gs::BitCast<float>(Bits(q.lo, 32, 32));
        qLatch_ = gs::BitCast<float>(Bits(q.hi, 0, 32));
        break;
    case 0x3:
        u_ = static_cast<float>(Bits(q.lo, 0, 14)) / 16;
        v_ = static_cast<float>(Bits(q.lo, 32, 14)) / 16;
        break;
    case 0x4: case 0x5: case 0xC: case 0xD:
        vertex(Bits(q.lo, 0, 16) | u64{Bits(q.lo, 32, 16)} << 16, (descriptor == 0x4 || descriptor == 0x5) && !Bit(q.hi, 47));
        break;
    case 0x6: case 0x7: case 0x8: case 0x9: write(descriptor, q.lo, true); break;
    case 0xE: write(static_cast<u8>(q.hi & 0xFF), q.lo, true); break;
    default: break; // FOG, NOP; 0xB was reported with its tag
    }
}

// A register write: `raw` when the value reaches the register as the program wrote it (A+D, REGLIST).
void GsChecker::write(u8 reg, u64 value, bool raw)
{
    if (raw) {
        const auto bits = DefinedBits(reg);
        if (!bits) {
            findings_.report(Kind::ReservedBits, where(qword_),
                             "write of " + Hex(value) + " to register " + RegisterName(reg) + ", which the GS does not have");
            return;
        }
        if (value & ~*bits)
            findings_.report(Kind::ReservedBits, where(qword_),
                             RegisterName(reg) + " written with reserved bits " + Hex(value & ~*bits) + " set (value " +
                                 Hex(value) + ")");
    }
    Context* c = nullptr;
    if (reg >= 0x06 && reg <= 0x4F) {
        // The _1 and _2 registers sit side by side.
        static constexpr u8 kPaired[] = {0x06, 0x08, 0x14, 0x16, 0x18, 0x40, 0x42, 0x47, 0x4A, 0x4C, 0x4E};
        for (const u8 first : kPaired)
            if (reg == first || reg == first + 1) c = &ctx_[reg - first];
    }
    auto set = [&](u64& field) {
        if (field != value) c->targetsValid = false;
        field = value;
    };
    switch (reg) {
    case 0x00: // PRIM
        prim_ = value & 0x7FF;
        primSet_ = true;
        queued_ = 0;
        if (Bits(value, 0, 3) == 7)
            findings_.report(Kind::ReservedBits, where(qword_), "PRIM written with the reserved primitive type 7");
        break;
    case 0x01: q_ = gs::BitCast<float>(Bits(value, 32, 32)); break;
    case 0x02:
        s_ = gs::BitCast<float>(Bits(value, 0, 32));
        t_ = gs::BitCast<float>(Bits(value, 32, 32));
        break;
    case 0x03:
        u_ = static_cast<float>(Bits(value, 0, 14)) / 16;
        v_ = static_cast<float>(Bits(value, 16, 14)) / 16;
        break;
    case 0x04: case 0x05: vertex(value, true); break;
    case 0x0C: case 0x0D: vertex(value, false); break;
    case 0x06: case 0x07: c->tex0 = value; break;
    case 0x08: case 0x09: c->clamp = value; break;
    case 0x16: case 0x17: c->tex0 = (c->tex0 & ~kTex2Bits) | (value & kTex2Bits); break;
    case 0x18: case 0x19: c->xyoffset = value; break;
    case 0x1A: prmodecont_ = Bit(value, 0); break;
    case 0x1B: prmode_ = value; break;
    case 0x40: case 0x41: set(c->scissor); break;
    case 0x47: case 0x48: c->test = value; break;
    case 0x4C: case 0x4D: set(c->frame); break;
    case 0x4E: case 0x4F: set(c->zbuf); break;
    case 0x50: bitbltbuf_ = value; break;
    case 0x51: trxpos_ = value; break;
    case 0x52: trxreg_ = value; break;
    case 0x53: startTransfer(static_cast<u8>(value & 3)); break;
    case 0x54: imageData(1, qword_); break;
    default: break;
    }
}

// ---- drawing ----

void GsChecker::vertex(u64 xy, bool kick)
{
    if (kick && !primSet_)
        findings_.report(Kind::NoPrim, where(qword_),
                         "a drawing kick with no PRIM written since reset: the primitive type and attributes are "
                         "left to chance");
    const u32 type = prim_ & 7;
    const u32 needed = kVertices[type];
    if (needed == 0) return;
    queue_[queued_++] = {static_cast<float>(Bits(xy, 0, 16)), static_cast<float>(Bits(xy, 16, 16)), s_, t_, q_, u_, v_};
    if (queued_ < needed) return;
    if (kick) primitive(queue_.data(), needed);
    switch (type) {
    case 2: queue_[0] = queue_[1]; queued_ = 1; break;                         // line strip
    case 4: queue_[0] = queue_[1]; queue_[1] = queue_[2]; queued_ = 2; break; // triangle strip
    case 5: queue_[1] = queue_[2]; queued_ = 2; break;                         // triangle fan
    default: queued_ = 0; break;
    }
}

GsChecker::Context& GsChecker::context()
{
    const u64 attributes = prmodecont_ ? prim_ : prmode_;
    return ctx_[Bit(attributes, 9) ? 1 : 0];
}

void GsChecker::updateTargets(Context& c)
{
    const Rect scissor{Bits(c.scissor, 0, 11), Bits(c.scissor, 32, 11), Bits(c.scissor, 16, 11) + 1,
                       Bits(c.scissor, 48, 11) + 1};
    const u32 fbw = Bits(c.frame, 16, 6);
    c.frameArea.clear();
    c.depthArea.clear();
    ForEachBlock(Bits(c.frame, 0, 9) * kBlocksPerPage, fbw, static_cast<u8>(Bits(c.frame, 24, 6)), scissor,
                 [&](u32 b) { c.frameArea.add(b); });
    ForEachBlock(Bits(c.zbuf, 0, 9) * kBlocksPerPage, fbw, static_cast<u8>(0x30 | Bits(c.zbuf, 24, 4)), scissor,
                 [&](u32 b) { c.depthArea.add(b); });
    c.overlap = c.frameArea.intersects(c.depthArea);
    c.targetsValid = true;
    ++c.generation;
}

// The depth buffer is read or written: the test is on and does more than pass every pixel with Z masked.
bool GsChecker::depthInUse(const Context& c) const
{
    return Bit(c.test, 16) && !(Bits(c.test, 17, 2) == 1 && Bit(c.zbuf, 32));
}

// The texels a primitive may sample: the box of its texture coordinates, or the whole texture when they
// wrap or cannot be told.
bool GsChecker::textureRect(const Context& c, const Vertex* v, u32 n, Rect& out) const
{
    const u32 w = 1u << std::min<u32>(Bits(c.tex0, 26, 4), 10), h = 1u << std::min<u32>(Bits(c.tex0, 30, 4), 10);
    const bool fst = Bit(prmodecont_ ? prim_ : prmode_, 8);
    float u0 = INFINITY, u1 = -INFINITY, v0 = INFINITY, v1 = -INFINITY;
    for (u32 i = 0; i < n; ++i) {
        const float u = fst ? v[i].u : v[i].s / v[i].q * static_cast<float>(w);
        const float t = fst ? v[i].v : v[i].t / v[i].q * static_cast<float>(h);
        u0 = std::min(u0, u), u1 = std::max(u1, u), v0 = std::min(v0, t), v1 = std::max(v1, t);
    }
    const auto fw = static_cast<float>(w), fh = static_cast<float>(h);
    if (!(u0 >= 0 && v0 >= 0 && u1 <= fw && v1 <= fh)) {
        out = {0, 0, w, h};
    } else {
        out.x0 = static_cast<u32>(u0);
        out.y0 = static_cast<u32>(v0);
        out.x1 = std::min(w, std::max(out.x0 + 1, static_cast<u32>(std::ceil(u1))));
        out.y1 = std::min(h, std::max(out.y0 + 1, static_cast<u32>(std::ceil(v1))));
        out.x0 = std::min(out.x0, w - 1);
        out.y0 = std::min(out.y0, h - 1);
    }
    return true;
}

void GsChecker::primitive(const Vertex* v, u32 n)
{
    Context& c = context();
    const auto ofx = static_cast<float>(Bits(c.xyoffset, 0, 16)), ofy = static_cast<float>(Bits(c.xyoffset, 32, 16));
    float x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    for (u32 i = 0; i < n; ++i) {
        x0 = std::min(x0, (v[i].x - ofx) / 16), x1 = std::max(x1, (v[i].x - ofx) / 16);
        y0 = std::min(y0, (v[i].y - ofy) / 16), y1 = std::max(y1, (v[i].y - ofy) / 16);
    }
    // The pixels the primitive may cover, inside the scissor (inclusive on both ends).
    const auto clampTo = [](float value, u32 low, u32 high) {
        return static_cast<u32>(std::clamp(value, static_cast<float>(low), static_cast<float>(high)));
    };
    const u32 sx0 = Bits(c.scissor, 0, 11), sx1 = Bits(c.scissor, 16, 11) + 1;
    const u32 sy0 = Bits(c.scissor, 32, 11), sy1 = Bits(c.scissor, 48, 11) + 1;
    const Rect drawn{clampTo(std::floor(x0), sx0, sx1), clampTo(std::floor(y0), sy0, sy1),
                     clampTo(std::floor(x1) + 1, sx0, sx1), clampTo(std::floor(y1) + 1, sy0, sy1)};
    if (drawn.empty()) return;
    if (!c.targetsValid) updateTargets(c);
    const bool depth = depthInUse(c);
    const u32 fbp = Bits(c.frame, 0, 9), fbw = Bits(c.frame, 16, 6), zbp = Bits(c.zbuf, 0, 9);
    const u8 fpsm = static_cast<u8>(Bits(c.frame, 24, 6)), zpsm = static_cast<u8>(0x30 | Bits(c.zbuf, 24, 4));
    if (depth && c.overlap)
        findings_.report(Kind::TargetOverlap, where(qword_),
                         BufferText("the depth buffer", zbp * kBlocksPerPage, fbw, zpsm) + " overlaps " +
                             BufferText("the frame buffer", fbp * kBlocksPerPage, fbw, fpsm) +
                             " inside the scissor: depth and colour overwrite each other");

    const u64 attributes = prmodecont_ ? prim_ : prmode_;
    if (Bit(attributes, 4)) {
        Rect texels;
        textureRect(c, v, n, texels);
        const u32 tbp = Bits(c.tex0, 0, 14), tbw = Bits(c.tex0, 14, 6);
        const u8 tpsm = static_cast<u8>(Bits(c.tex0, 20, 6));
        const u32 ci = &c == &ctx_[1] ? 1 : 0;
        const bool known = c.tex0 == cleanTex0_ && ci == cleanContext_ && c.generation == cleanGeneration_ &&
                           writtenCount_ == cleanWritten_ && texels.x0 >= cleanRect_.x0 && texels.y0 >= cleanRect_.y0 &&
                           texels.x1 <= cleanRect_.x1 && texels.y1 <= cleanRect_.y1;
        if (!known) {
            u32 unwritten = 0, inFrame = 0, inDepth = 0, first = 0;
            ForEachBlock(tbp, tbw, tpsm, texels, [&](u32 b) {
                if (!written_.has(b) && unwritten++ == 0) first = b;
                inFrame += c.frameArea.has(b);
                inDepth += depth && c.depthArea.has(b);
            });
            const std::string texture = "the texture " + BufferText("", tbp, tbw, tpsm).substr(1) + ", " +
                                        std::to_string(1u << std::min<u32>(Bits(c.tex0, 26, 4), 10)) + " x " +
                                        std::to_string(1u << std::min<u32>(Bits(c.tex0, 30, 4), 10));
            if (unwritten != 0)
                findings_.report(Kind::TextureUnwritten, where(qword_),
                                 "a primitive samples " + texture + " where nothing has been written since power-on "
                                 "(texels " + RectText(texels) + ", first such block " + Hex(first) + ")");
            if (inFrame != 0)
                findings_.report(Kind::TextureInTarget, where(qword_),
                                 "a primitive samples " + texture + " inside the area it draws to: " +
                                     BufferText("the frame buffer", fbp * kBlocksPerPage, fbw, fpsm));
            if (inDepth != 0)
                findings_.report(Kind::TextureInTarget, where(qword_),
                                 "a primitive samples " + texture + " inside the depth buffer it uses: " +
                                     BufferText("the depth buffer", zbp * kBlocksPerPage, fbw, zpsm));
            if (unwritten == 0 && inFrame == 0 && inDepth == 0) {
                cleanTex0_ = c.tex0;
                cleanContext_ = ci;
                cleanGeneration_ = c.generation;
                cleanRect_ = {0, 0, 1u << std::min<u32>(Bits(c.tex0, 26, 4), 10),
                              1u << std::min<u32>(Bits(c.tex0, 30, 4), 10)};
                // Only the whole texture, once found clean, covers later primitives on it.
                if (texels.x0 != 0 || texels.y0 != 0 || texels.x1 != cleanRect_.x1 || texels.y1 != cleanRect_.y1)
                    cleanRect_ = texels;
            }
        }
    }

    if (Bits(c.frame, 32, 32) != 0xFFFFFFFFu) markWritten(fbp * kBlocksPerPage, fbw, fpsm, drawn);
    if (depth && !Bit(c.zbuf, 32)) markWritten(zbp * kBlocksPerPage, fbw, zpsm, drawn);
}

void GsChecker::markWritten(u32 bp, u32 bw, u8 psm, const Rect& r)
{
    ForEachBlock(bp, bw, psm, r, [&](u32 b) { writtenCount_ += written_.add(b); });
}

// ---- transfers to local memory ----

void GsChecker::startTransfer(u8 direction)
{
    endImage();
    const u32 rrw = Bits(trxreg_, 0, 12), rrh = Bits(trxreg_, 32, 12);
    const auto check = [&](const char* which, u32 bp, u32 bw, u8 psm, u32 x, u32 y) {
        const Rect r{x, y, x + rrw, y + rrh};
        const std::string buffer = BufferText(which, bp, bw, psm);
        std::string why;
        if (r.x1 > 2048 || r.y1 > 2048) why = "passes coordinate 2048 and wraps";
        else if (PagesReached(bp, bw, psm, r) > kPages) why = "runs past the end of local memory";
        else if (bw != 0 && r.x1 > bw * 64) why = "is wider than its buffer and spills into the next rows";
        if (!why.empty())
            findings_.report(Kind::ImageOutside, where(qword_),
                             "the transfer rectangle " + RectText(r) + " of " + buffer + " " + why);
    };
    const u32 dbp = Bits(bitbltbuf_, 32, 14), dbw = Bits(bitbltbuf_, 48, 6);
    const u8 dpsm = static_cast<u8>(Bits(bitbltbuf_, 56, 6));
    const u32 dx = Bits(trxpos_, 32, 11), dy = Bits(trxpos_, 48, 11);
    if (direction == 0) {
        check("the destination", dbp, dbw, dpsm, dx, dy);
        const u32 bpp = BitsPerPixel(dpsm);
        if (bpp == 0) {
            findings_.report(Kind::ReservedBits, where(qword_),
                             "BITBLTBUF names the destination format " + Hex(dpsm) + ", which the GS does not have");
            return;
        }
        if (rrw == 0 || rrh == 0) return;
        image_.active = true;
        image_.where = where(qword_);
        image_.size = std::to_string(rrw) + " x " + std::to_string(rrh) + ", format " + Hex(dpsm);
        image_.expected = (u64{rrw} * rrh * bpp + 63) / 64;
        image_.dbp = dbp;
        image_.dbw = dbw;
        image_.x = dx;
        image_.y = dy;
        image_.w = rrw;
        image_.h = rrh;
        image_.psm = dpsm;
    } else if (direction == 2) {
        const u32 sbp = Bits(bitbltbuf_, 0, 14), sbw = Bits(bitbltbuf_, 16, 6);
        const u8 spsm = static_cast<u8>(Bits(bitbltbuf_, 24, 6));
        check("the source", sbp, sbw, spsm, Bits(trxpos_, 0, 11), Bits(trxpos_, 16, 11));
        check("the destination", dbp, dbw, dpsm, dx, dy);
        markWritten(dbp, dbw, dpsm, {dx, dy, dx + rrw, dy + rrh});
    }
}

void GsChecker::imageData(u32 dwords, u32 qword)
{
    if (!image_.active) {
        if (!image_.overrun)
            findings_.report(Kind::ImageSize, where(qword),
                             image_.finished ? "image data runs past the transfer rectangle of TRXREG (" +
                                                   image_.size + ")"
                                             : "image data with no host-to-local transfer under way (TRXDIR 0 "
                                               "starts one)");
        image_.overrun = true;
        return;
    }
    image_.received += dwords;
    if (image_.received < image_.expected) return;
    if (image_.received > image_.expected) {
        findings_.report(Kind::ImageSize, where(qword),
                         "image data runs past the transfer rectangle of TRXREG (" + image_.size + ")");
        image_.overrun = true;
    }
    markWritten(image_.dbp, image_.dbw, image_.psm, {image_.x, image_.y, image_.x + image_.w, image_.y + image_.h});
    image_.active = false;
    image_.finished = true;
}

// A transfer ends before its rectangle is full: what came is written, the rest is reported.
void GsChecker::endImage()
{
    if (image_.active) {
        const u64 pixels = image_.received * 64 / BitsPerPixel(image_.psm);
        const u32 rows = static_cast<u32>(std::min<u64>(image_.h, (pixels + image_.w - 1) / image_.w));
        markWritten(image_.dbp, image_.dbw, image_.psm, {image_.x, image_.y, image_.x + image_.w, image_.y + rows});
        findings_.report(Kind::ImageSize, image_.where,
                         "the transfer rectangle of TRXREG (" + image_.size + ") takes " +
                             std::to_string(image_.expected) + " doublewords of image data, but only " +
                             std::to_string(image_.received) + " came before the next transfer or the end");
    }
    image_ = {};
}

} // namespace check
