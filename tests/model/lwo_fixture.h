#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/pool.h"
#include "gfx/text_console.h"
#include "model/loader.h"
#include "tests/support/console_glyphs.h"
#include "tests/support/demo_display.h"
#include "tools/lwogen/lwo_writer.h"

namespace model_testing {

using lwogen::Bytes;

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A chunk whose length field is the body's size unless another is given.
inline Bytes Chunk(const char* id, const Bytes& body, std::optional<std::uint32_t> length = {})
{
    Bytes out;
    lwogen::PutId(out, id);
    lwogen::PutU32(out, length.value_or(static_cast<std::uint32_t>(body.size())));
    return Join({out, body});
}

// A form of the given type holding the chunks back to back.
inline Bytes Object(std::initializer_list<Bytes> chunks, const char* type = "LWO2")
{
    Bytes body;
    lwogen::PutId(body, type);
    for (const Bytes& chunk : chunks) body = Join({body, chunk});
    return Chunk("FORM", body);
}

inline Bytes Points(std::initializer_list<float> coordinates)
{
    Bytes body;
    for (const float c : coordinates) lwogen::PutF32(body, c);
    return Chunk("PNTS", body);
}

// A polygon's vertex count and indices, each index 2 or 4 bytes as its size asks.
inline Bytes Polygon(std::initializer_list<std::uint32_t> indices)
{
    Bytes out;
    lwogen::PutU16(out, static_cast<std::uint16_t>(indices.size()));
    for (const std::uint32_t index : indices) lwogen::PutIndex(out, index);
    return out;
}

// A POLS chunk of the given type over polygons written out byte by byte.
inline Bytes Polygons(std::initializer_list<Bytes> polygons, const char* type = "FACE",
                      std::optional<std::uint32_t> length = {})
{
    Bytes body;
    lwogen::PutId(body, type);
    for (const Bytes& polygon : polygons) body = Join({body, polygon});
    return Chunk("POLS", body, length);
}

// Vertices a, b, c and the source polygon of one triangle.
using Corners = std::array<std::uint32_t, 4>;

// A fresh pool, no loader selected and a console whose trace text can be read back.
class LwoTest : public testing_support::DemoDisplayTest {
protected:
    static constexpr Mesh kUntouched = {77, nullptr, 99, nullptr};

    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        ConsoleSetCursor(0, 0);
        OrbMemInit();
        MeshLoaderSelected = nullptr;
    }

    // Open a buffer of exactly the image's bytes (any read past it is caught when sanitized) and load it.
    int Load(Bytes image, std::optional<s32> size = {})
    {
        image_ = std::move(image);
        const MeshSource source = {MESH_TYPE_LWO2, image_.data(), size.value_or(static_cast<s32>(image_.size()))};
        EXPECT_EQ(OrbMeshOpen(&source), 0);
        return OrbMeshLoad(&mesh);
    }

    std::vector<Corners> Triangles() const
    {
        std::vector<Corners> out;
        for (const MeshTriangle& t : std::span(mesh.triangles, mesh.triangles ? mesh.triangleCount : 0))
            out.push_back({t.corners[0].vertex, t.corners[1].vertex, t.corners[2].vertex, t.polygon});
        return out;
    }

    std::string Traced() const { return testing_support::GlyphText(testing_support::SentGlyphs(console)); }

    Bytes image_;
    Mesh mesh = kUntouched;
};

} // namespace model_testing
