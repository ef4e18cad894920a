#include <gtest/gtest.h>

#include <string>

#include "tools/lwogen/shapes.h"
#include "viewer/lwo_survey.h"

namespace {

LwoSurvey Survey(const lwogen::Bytes& image, std::size_t size)
{
    LwoSurvey survey;
    ViewerSurveyLwo(image.data(), static_cast<u32>(size), &survey);
    return survey;
}

LwoSurvey Survey(const lwogen::Bytes& image) { return Survey(image, image.size()); }

TEST(LwoSurvey, CountsLayersAndTellsFacesFromOtherPolygons)
{
    const lwogen::Polyhedron box = lwogen::Box({0, 0, 0}, {1, 1, 1});
    LwoSurvey s = Survey(lwogen::PolyhedronObject(box));
    EXPECT_EQ(std::tuple(s.lwo2, s.layers, s.faceChunks, s.otherPolygonChunks, s.cut), std::tuple(1, 1u, 1u, 0u, 0));

    s = Survey(lwogen::PolyhedronObject(box, {.polygonType = "SUBD", .layers = 3}));
    EXPECT_EQ(std::tuple(s.lwo2, s.layers, s.faceChunks, s.otherPolygonChunks), std::tuple(1, 3u, 0u, 3u));
    EXPECT_TRUE(ViewerIsPatchType(s.otherType));
}

TEST(LwoSurvey, StaysInsideTheImageAndKnowsOtherForms)
{
    const lwogen::Bytes image = lwogen::PolyhedronObject(lwogen::Box({0, 0, 0}, {1, 1, 1}));
    // Cut inside the points: the layer is seen, the polygons are not, and the cut is told.
    LwoSurvey s = Survey(image, 70);
    EXPECT_EQ(std::tuple(s.lwo2, s.layers, s.faceChunks, s.cut), std::tuple(1, 1u, 0u, 1));
    lwogen::Bytes other = image;
    other[11] = 'B';
    EXPECT_EQ(Survey(other).lwo2, 0);
    EXPECT_EQ(Survey(image, 11).lwo2, 0);
    LwoSurvey none;
    ViewerSurveyLwo(nullptr, 100, &none);
    EXPECT_EQ(none.lwo2, 0);
}

} // namespace
