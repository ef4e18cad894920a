#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <string>

#include "math3d/matrix.h"

namespace {

const float kHalfPi = std::bit_cast<float>(0x3FC90FDBu);
const float kCosHalfPi = -4.371139e-8f;

Matrix Identity()
{
    Matrix m;
    MatrixRotX(&m, 0.0f);
    return m;
}

Matrix Numbered()
{
    Matrix m;
    for (int i = 0; i < 16; ++i) m.m[i] = static_cast<float>(i + 1);
    return m;
}

void ExpectMatrix(const Matrix& m, const std::array<float, 16>& rows)
{
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m.m[i], rows[i]) << "row " << i / 4 << ", column " << i % 4;
}

TEST(MatrixRotation, ZeroIsTheIdentityAndAQuarterTurnKeepsTheF32Cosine)
{
    Matrix m = Numbered();
    MatrixRotX(&m, 0.0f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;

    MatrixRotX(&m, kHalfPi);
    EXPECT_NEAR(m.m[5], kCosHalfPi, 1e-13f);
    ExpectMatrix(m, {1, 0, 0, 0, 0, m.m[5], 1, 0, 0, -1, m.m[5], 0, 0, 0, 0, 1});

    // Points turn as column vectors.
    const Vector3 x = {1, 0, 0};
    Vector3 out;
    MatrixRotZ(&m, kHalfPi);
    MatrixApply(&out, &x, &m);
    EXPECT_NEAR(out.x, kCosHalfPi, 1e-13f);
    EXPECT_EQ(out.y, -1.0f);
    EXPECT_EQ(out.z, 0.0f);
    MatrixRotY(&m, kHalfPi);
    MatrixApply(&out, &x, &m);
    EXPECT_NEAR(out.x, kCosHalfPi, 1e-13f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 1.0f);
}

TEST(MatrixApply, AddsTheTranslationInPlaceOrTakesItFromRowThree)
{
    const Matrix m = Numbered();
    Vector3 p = {1, 2, 3};
    MatrixApply(&p, &p, &m);
    EXPECT_EQ(p.x, 1 + 4 + 9 + 4.0f);
    EXPECT_EQ(p.y, 5 + 12 + 21 + 8.0f);
    EXPECT_EQ(p.z, 9 + 20 + 33 + 12.0f);

    const Vector3 q = {1, 2, 3, 99};
    Vector4 row;
    MatrixApplyRow(&row, &q, &m);
    EXPECT_EQ(row.x, 1 + 10 + 27 + 13.0f);
    EXPECT_EQ(row.y, 2 + 12 + 30 + 14.0f);
    EXPECT_EQ(row.z, 3 + 14 + 33 + 15.0f);
    EXPECT_EQ(row.w, 4 + 16 + 36 + 16.0f);
}

TEST(MatrixMul, KeepsColumnThreeAndAddsRowThreeOfB)
{
    // The identity with (5, 6, 7, 8) in column 3 takes b's first three columns and keeps its own column 3.
    Matrix a = Identity();
    a.m[3] = 5, a.m[7] = 6, a.m[11] = 7, a.m[15] = 8;
    const Matrix b = Numbered();
    MatrixMul(&a, &b);
    ExpectMatrix(a, {1, 2, 3, 5, 5, 6, 7, 6, 9, 10, 11, 7, 13, 14, 15, 8});

    a = Numbered();
    MatrixMul(&a, &b);
    ExpectMatrix(a, {1 + 10 + 27, 2 + 12 + 30, 3 + 14 + 33, 4, 5 + 30 + 63, 10 + 36 + 70, 15 + 42 + 77, 8,
                     9 + 50 + 99, 18 + 60 + 110, 27 + 70 + 121, 12, 13 + 70 + 135 + 13, 26 + 84 + 150 + 14,
                     39 + 98 + 165 + 15, 16});
}

TEST(MatrixScaleAndTranslate, TouchOnlyTheDiagonalAndColumnThree)
{
    Matrix m = Identity();
    MatrixScale(&m, 2, 3, 4);
    MatrixTranslate(&m, 1, 2, 3);
    ExpectMatrix(m, {2, 0, 0, 1, 0, 3, 0, 2, 0, 0, 4, 3, 0, 0, 0, 1});
}

TEST(MatrixDump, PrintsHundredthsOnTheFirstCallAndEvery300th)
{
    Matrix m = Identity();
    m.m[0] = 1.239f;
    m.m[1] = -0.5f;
    testing::internal::CaptureStdout();
    MatrixDump(&m);
    const std::string first = testing::internal::GetCapturedStdout();
    EXPECT_EQ(first, "[0,0]=123 , [0,1]=-50 , [0,2]=0 , [0,3]=0\n"
                     "[1,0]=0 , [1,1]=100 , [1,2]=0 , [1,3]=0\n"
                     "[2,0]=0 , [2,1]=0 , [2,2]=100 , [2,3]=0\n"
                     "[3,0]=0 , [3,1]=0 , [3,2]=0 , [3,3]=100\n\n");

    testing::internal::CaptureStdout();
    for (int i = 0; i < 299; ++i) MatrixDump(&m);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    MatrixDump(&m);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), first);
}

} // namespace
