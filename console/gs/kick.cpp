#include <string>

#include "console/gs/raster.h"

namespace gs {
namespace {

u32 VerticesFor(u8 type)
{
    switch (type) {
    case POINT: return 1;
    case LINE: case LINE_STRIP: case SPRITE: return 2;
    default: return 3;
    }
}

// Resolves the registers into what the pixels of the next primitive need; false when nothing can be drawn.
bool BuildSetup(DrawSetup& s, const Registers& regs, u32* mem, console::OnceLog& log)
{
    const PrimAttributes& at = regs.attributes();
    const Context& c = regs.ctx[at.ctxt ? 1 : 0];

    s.mem = mem;
    s.offset = c.xyoffset;
    s.frameLayout = LayoutFor(c.frame.psm);
    if (!s.frameLayout) {
        log.message("GS: drawing into frame format " + console::Hex(c.frame.psm) + " is not modelled");
        return false;
    }
    s.frameBase = c.frame.fbp * 32;
    s.frameWidth = c.frame.fbw;
    s.fbmsk = c.frame.fbmsk;
    s.ct24 = c.frame.psm == PSMCT24 || c.frame.psm == PSMZ24;
    s.fba = c.fba;

    s.scissorX0 = static_cast<int>(c.scissor.x0);
    s.scissorX1 = static_cast<int>(c.scissor.x1);
    s.scissorY0 = static_cast<int>(c.scissor.y0);
    s.scissorY1 = static_cast<int>(c.scissor.y1);
    s.scanmsk = regs.scanmsk;

    u32 features = 0;
    // ZTE = 0 is undefined on the chip; it is taken as no test and no depth write.
    if (c.test.zte) {
        if (c.test.ztst == ZTest::Never) return false;
        s.zLayout = LayoutFor(c.zbuf.psm);
        if (!s.zLayout) {
            log.message("GS: depth format " + console::Hex(c.zbuf.psm) + " is not modelled; depth ignored");
        } else {
            s.zBase = c.zbuf.zbp * 32;
            s.ztst = c.test.ztst;
            s.zmsk = c.zbuf.zmsk;
            s.zMax = c.zbuf.psm == PSMZ24 ? 16777215.0 : 4294967295.0;
            if (s.ztst == ZTest::GEqual || s.ztst == ZTest::Greater) features |= kDepthTest;
            if (!s.zmsk) features |= kDepthWrite;
        }
    }

    bool colourUsed = true;
    if (at.tme) {
        s.tex0 = c.tex0;
        s.texLayout = LayoutFor(c.tex0.psm);
        if (!s.texLayout || c.tex0.psm >= PSMZ32) {
            log.message("GS: texture format " + console::Hex(c.tex0.psm) + " is not modelled");
            return false;
        }
        s.texBase = c.tex0.tbp0;
        s.texWidth = c.tex0.tbw;
        s.texCt24 = c.tex0.psm == PSMCT24;
        s.clamp = c.clamp;
        s.texa = regs.texa;
        s.fst = at.fst;
        s.texMaskU = (1u << std::min<u32>(c.tex0.tw, 10)) - 1;
        s.texMaskV = (1u << std::min<u32>(c.tex0.th, 10)) - 1;
        s.texRepeat = c.clamp.wms == Wrap::Repeat && c.clamp.wmt == Wrap::Repeat;
        s.texScaleU = static_cast<float>(s.texMaskU + 1);
        s.texScaleV = static_cast<float>(s.texMaskV + 1);
        // DECAL with the texture's alpha takes nothing from the vertex colour.
        colourUsed = !(c.tex0.tfx == Tfx::Decal && c.tex0.tcc);
        features |= kTexture;
    }
    s.gouraud = at.iip && colourUsed ? u32{kGouraud} : 0u;
    if (at.abe) {
        s.alpha = c.alpha;
        s.colclamp = regs.colclamp;
        s.pabe = regs.pabe;
        features |= kBlend;
        if (c.alpha.a == 0 && c.alpha.b == 1 && c.alpha.c == 0 && c.alpha.d == 1 && s.colclamp)
            features |= kStandardBlend;
    }
    if (at.tme) {
        const Pages frame = PagesUpTo(c.frame.fbp, c.frame.fbw, c.scissor.x1, c.scissor.y1);
        const Pages depth = PagesUpTo(c.zbuf.zbp, c.frame.fbw, c.scissor.x1, c.scissor.y1);
        const Pages texture = BlockPagesUpTo(c.tex0.tbp0, c.tex0.tbw, s.texMaskU, s.texMaskV);
        const bool depthUsed = (features & (kDepthTest | kDepthWrite)) != 0;
        s.texAhead = texture.last < kPages && frame.last < kPages && depth.last < kPages && !texture.meets(frame) &&
                     !(depthUsed && (texture.meets(depth) || frame.meets(depth)));
        s.decalRuns = s.texAhead && at.fst && s.texRepeat && c.tex0.psm == PSMCT32 && !colourUsed;
    }
    s.fge = at.fge;
    s.fogcol = regs.fogcol;
    s.test = c.test;
    if (c.test.ate || c.test.date || s.fbmsk != 0 || s.fba || s.pabe || s.fge || s.ct24 || !s.colclamp)
        features |= kGeneric;
    s.features = features;
    return true;
}

} // namespace

void Gs::vertexKick(u32 x, u32 y, u32 z, u8 fog, bool draw)
{
    const u8 type = regs_.primType;
    if (type == PRIM_RESERVED) return; // no primitive: nothing is drawn
    // Built in its slot field by field: a whole vertex built elsewhere and copied in is read back before
    // its parts have left the store buffer, which costs more than the copy.
    Vertex& v = queue_[queued_++];
    const Registers& r = regs_;
    v.x = x, v.y = y, v.z = z;
    v.colour = r.rgbaq;
    v.s = r.s, v.t = r.t;
    v.u = r.u, v.v = r.v;
    v.fog = fog;
    if (queued_ < VerticesFor(type)) return;
    if (draw) drawPrimitive();
    switch (type) {
    case LINE_STRIP: // the last vertex starts the next line
        queue_[0] = queue_[1];
        queued_ = 1;
        break;
    case TRIANGLE_STRIP: // the last two vertices start the next triangle
        queue_[0] = queue_[1];
        queue_[1] = queue_[2];
        queued_ = 2;
        break;
    case TRIANGLE_FAN: // the first vertex stays, the last one follows it
        queue_[1] = queue_[2];
        queued_ = 2;
        break;
    default:
        queued_ = 0;
        break;
    }
}

void Gs::drawPrimitive()
{
    // A primitive the two sides cannot share is drawn whole by the console's side while the other waits.
    if (band_.meeting && drawSetup(queue_[VerticesFor(regs_.primType) - 1]) && !band_.sharedSetup)
        return aloneOnConsoleSide(&Gs::rasterize);
    rasterize();
}

void Gs::rasterize()
{
    switch (regs_.primType) {
    case POINT: drawPoint(queue_[0]); break;
    case LINE: case LINE_STRIP: drawLine(queue_[0], queue_[1]); break;
    case TRIANGLE: case TRIANGLE_STRIP: case TRIANGLE_FAN: drawTriangle(queue_[0], queue_[1], queue_[2]); break;
    case SPRITE: drawSprite(queue_[0], queue_[1]); break;
    default: break;
    }
}

// The drawing state for a primitive whose flat colour is `last`'s; null when nothing can be drawn.
const DrawSetup* Gs::drawSetup(const Vertex& last)
{
    if (!setupValid_) {
        setup_ = DrawSetup{};
        setupDrawable_ = BuildSetup(setup_, regs_, memory_.data(), log_);
        setupValid_ = true;
        if (band_.meeting && setupDrawable_) shareSetup();
    }
    if (!setupDrawable_) return nullptr;
    setup_.flat = last.colour;
    setup_.blendTable = nullptr;
    return &setup_;
}

// Lets spans of the flat colour c blend by table when its table is at hand or `build` asks for it.
void Gs::useBlendTable(const Rgbaq& c, bool build)
{
    // One table is kept, until another colour needs one.
    const u32 key = static_cast<u32>(c.r | c.g << 8 | c.b << 16 | c.a << 24);
    if (!blendTableValid_ || blendTableKey_ != key) {
        if (!build) return;
        const int a = c.a;
        for (int d = 0; d < 256; ++d) {
            auto blend = [&](int cs) { return static_cast<u32>(std::clamp(StandardBlendChannel(cs, d, a), 0, 255)); };
            blendTable_[d] = blend(c.r);
            blendTable_[256 + d] = blend(c.g) << 8;
            blendTable_[512 + d] = blend(c.b) << 16 | static_cast<u32>(a) << 24;
        }
        blendTableKey_ = key;
        blendTableValid_ = true;
    }
    setup_.blendTable = blendTable_.data();
}

} // namespace gs
