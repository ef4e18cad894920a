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

} // namespace

void Gs::vertexKick(const Vertex& v, bool draw)
{
    const u8 type = regs_.primType;
    if (type == PRIM_RESERVED) return; // no primitive: nothing is drawn
    queue_[queued_++] = v;
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
    switch (regs_.primType) {
    case POINT: drawPoint(queue_[0]); break;
    case LINE: case LINE_STRIP: drawLine(queue_[0], queue_[1]); break;
    case TRIANGLE: case TRIANGLE_STRIP: case TRIANGLE_FAN: drawTriangle(queue_[0], queue_[1], queue_[2]); break;
    case SPRITE: drawSprite(queue_[0], queue_[1]); break;
    default: break;
    }
}

bool Gs::setupDraw(DrawSetup& s, const Vertex& last)
{
    const PrimAttributes& at = regs_.attributes();
    const Context& c = regs_.ctx[at.ctxt ? 1 : 0];

    s.mem = memory_.data();
    s.frameLayout = LayoutFor(c.frame.psm);
    if (!s.frameLayout) {
        log_.message("GS: drawing into frame format " + console::Hex(c.frame.psm) + " is not modelled");
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
    s.scanmsk = regs_.scanmsk;

    u32 features = 0;
    // ZTE = 0 is undefined on the chip; it is taken as no test and no depth write.
    if (c.test.zte) {
        if (c.test.ztst == ZTest::Never) return false;
        s.zLayout = LayoutFor(c.zbuf.psm);
        if (!s.zLayout) {
            log_.message("GS: depth format " + console::Hex(c.zbuf.psm) + " is not modelled; depth ignored");
        } else {
            s.zBase = c.zbuf.zbp * 32;
            s.ztst = c.test.ztst;
            s.zmsk = c.zbuf.zmsk;
            s.zMax = c.zbuf.psm == PSMZ24 ? 16777215.0 : 4294967295.0;
            if (s.ztst == ZTest::GEqual || s.ztst == ZTest::Greater) features |= kDepthTest;
            if (!s.zmsk) features |= kDepthWrite;
        }
    }

    if (at.tme) {
        s.tex0 = c.tex0;
        s.texLayout = LayoutFor(c.tex0.psm);
        if (!s.texLayout || c.tex0.psm >= PSMZ32) {
            log_.message("GS: texture format " + console::Hex(c.tex0.psm) + " is not modelled");
            return false;
        }
        s.texBase = c.tex0.tbp0;
        s.texWidth = c.tex0.tbw;
        s.texCt24 = c.tex0.psm == PSMCT24;
        s.clamp = c.clamp;
        s.texa = regs_.texa;
        s.fst = at.fst;
        s.texScaleU = static_cast<float>(1u << std::min<u32>(c.tex0.tw, 10));
        s.texScaleV = static_cast<float>(1u << std::min<u32>(c.tex0.th, 10));
        features |= kTexture;
    }
    if (at.abe) {
        s.alpha = c.alpha;
        s.colclamp = regs_.colclamp;
        s.pabe = regs_.pabe;
        features |= kBlend;
    }
    s.flat = last.colour;
    s.fge = at.fge;
    s.fogcol = regs_.fogcol;
    s.test = c.test;
    if (c.test.ate || c.test.date || s.fbmsk != 0 || s.fba || s.pabe || s.fge || s.ct24 || !s.colclamp)
        features |= kGeneric;
    s.features = features;
    return true;
}

} // namespace gs
