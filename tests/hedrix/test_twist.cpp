#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hedrix/core/HedrixGlobals.h"
#include "hedrix/core/Twist.h"

namespace {

struct CrossCase {
    double newAngle, oldAngle;
    bool crosses;
};

class CrossesMarkTest : public ::testing::TestWithParam<CrossCase> {};

TEST_P(CrossesMarkTest, StopsAtMarkLimitAndSignChange)
{
    const double mark = 0.3, limit = 0.5;
    EXPECT_EQ(CrossesMark(GetParam().newAngle, GetParam().oldAngle, mark, limit), GetParam().crosses);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, CrossesMarkTest,
    ::testing::Values(CrossCase{0.002, 0.0, false},     // leaving 0 is no change of sign
                      CrossCase{-0.002, 0.0, false},    // nor to the other side
                      CrossCase{0.0, 0.002, false},     // landing on 0 neither
                      CrossCase{0.2, 0.198, false},     // inside the mark
                      CrossCase{0.301, 0.299, true},    // outward through the mark
                      CrossCase{0.299, 0.301, true},    // inward through the mark
                      CrossCase{-0.301, -0.299, true},  // the mark counts on both sides
                      CrossCase{0.3, 0.298, false},     // reaching the mark exactly is no crossing
                      CrossCase{0.302, 0.3, false},     // nor is leaving it
                      CrossCase{0.501, 0.499, true},    // past the limit
                      CrossCase{0.5, 0.498, false},     // onto the limit is still inside
                      CrossCase{0.4, 0.402, false},     // stepping back from the limit
                      CrossCase{-0.001, 0.001, true},   // through 0
                      CrossCase{0.001, -0.001, true},
                      CrossCase{-0.501, -0.499, true}));

// Two triangles joined by a square strip: the smallest mesh with a twist pair
// (A = face 0, a = vertex 0, link 0-3, b = vertex 3, B = face 1).
struct PairMesh {
    PairMesh() : mesh(16, 32, 8)
    {
        const double h = std::sqrt(0.75);
        const double rows[6][3] = {{1, 0, 1}, {-0.5, h, 1}, {-0.5, -h, 1}, {1, 0, -1}, {-0.5, -h, -1}, {-0.5, h, -1}};
        for (int i = 0; i < 6; ++i) mesh.vertices[i].Set(rows[i][0], rows[i][1], rows[i][2], 0);
        mesh.nVertices = 6;
        const int a[3] = {0, 1, 2}, b[3] = {3, 4, 5}, s[4] = {0, 2, 4, 3};
        mesh.faces[0].Set(3, a, 3);
        mesh.faces[1].Set(3, b, 3);
        mesh.faces[2].Set(4, s, 1);
        mesh.nFaces = 3;
        mesh.ComputeFaceCentres();
        mesh.ComputeFaceNormals();
        mesh.GenerateEdges(std::cout);
        theViewState.mode = CViewState::kIdle;
    }

    struct Snapshot {
        std::vector<double> numbers;
        std::vector<int> types;
        bool operator==(const Snapshot& o) const { return numbers == o.numbers && types == o.types; }
    };
    Snapshot Take() const
    {
        Snapshot s;
        for (int i = 0; i < mesh.nVertices; ++i) {
            for (int k = 0; k < 3; ++k) s.numbers.push_back(mesh.vertices[i].position[k]);
            s.types.push_back(mesh.vertices[i].type);
        }
        for (int i = 0; i < mesh.nFaces; ++i) {
            for (CVector3d v : {mesh.faces[i].FrameU(), mesh.faces[i].FrameV(), mesh.faces[i].FrameOrigin()})
                for (int k = 0; k < 3; ++k) s.numbers.push_back(v[k]);
            s.types.push_back(mesh.faces[i].type);
        }
        for (int i = 0; i < mesh.nEdges; ++i) s.types.push_back(mesh.edges[i].type);
        for (CVector3d v : {mesh.twistA, mesh.twistB, mesh.twistC})
            for (int k = 0; k < 3; ++k) s.numbers.push_back(v[k]);
        s.numbers.push_back(mesh.twistLimit);
        s.numbers.push_back(mesh.linkLengthSqr);
        s.types.push_back(mesh.markFaceA);
        s.types.push_back(mesh.markFaceB);
        s.types.push_back(mesh.markVertexA);
        s.types.push_back(mesh.markVertexB);
        s.types.push_back(mesh.twistPrepared);
        return s;
    }
    bool AllFinite() const
    {
        for (int i = 0; i < mesh.nVertices; ++i)
            for (int k = 0; k < 3; ++k)
                if (!std::isfinite(mesh.vertices[i].position[k])) return false;
        return true;
    }

    CMesh mesh;
};

class TwistPairMesh : public ::testing::Test, protected PairMesh {};

TEST_F(TwistPairMesh, PrepareMarksThePairAndClearMarksRestores)
{
    mesh.PrepareTwist(true);
    EXPECT_TRUE(mesh.twistPrepared);
    EXPECT_EQ(mesh.markFaceA, 0);
    EXPECT_EQ(mesh.markVertexA, 0);
    EXPECT_EQ(mesh.markVertexB, 3);
    EXPECT_EQ(mesh.markFaceB, 1);
    EXPECT_DOUBLE_EQ(mesh.twistLimit, degToRad(60));
    EXPECT_DOUBLE_EQ(mesh.linkLengthSqr, 4.0);
    const int link = mesh.FindEdge(0, 3);
    ASSERT_GE(link, 0);
    EXPECT_EQ(mesh.edges[link].type, kTwistMarkType);
    EXPECT_EQ(mesh.vertices[0].type, kTwistMarkType);
    EXPECT_EQ(mesh.vertices[3].type, kTwistMarkType);
    EXPECT_EQ(mesh.faces[0].type, kTwistMarkType);
    EXPECT_EQ(mesh.faces[1].type, kTwistMarkType);
    // The frame spans the face: its axes are perpendicular circumradii.
    const CPolyFace& f = mesh.faces[0];
    EXPECT_NEAR(dot(f.FrameU(), f.FrameV()), 0.0, 1e-12);
    EXPECT_NEAR(length(f.FrameU()), length(f.FrameV()), 1e-12);
    EXPECT_NEAR(length(f.FrameOrigin() - f.Centre()), 0.0, 1e-15);

    mesh.ClearMarks();
    EXPECT_EQ(mesh.edges[link].type, kDualFaceType);
    EXPECT_EQ(mesh.vertices[0].type, kPlainType);
    EXPECT_EQ(mesh.vertices[3].type, kPlainType);
    EXPECT_EQ(mesh.faces[0].type, kSolidFaceType);
    EXPECT_EQ(mesh.faces[1].type, kSolidFaceType);
}

TEST_F(TwistPairMesh, PrepareWithoutAPairChangesNothing)
{
    struct Breakage {
        const char* name;
        void (*apply)(CMesh&);
    };
    const Breakage cases[] = {
        {"no type-3 face", [](CMesh& m) { m.ReplaceFaceType(kSolidFaceType, kDualFaceType); }},
        {"no partner face", [](CMesh& m) { m.faces[1].SetType(kDualFaceType); }},
        {"no edge off face A", [](CMesh& m) { m.nFaces = 1; m.GenerateEdges(std::cout); }},
        {"all pairs already marked", [](CMesh& m) { m.PrepareTwist(true); }},
    };
    for (const Breakage& c : cases) {
        PairMesh fresh;
        c.apply(fresh.mesh);
        fresh.mesh.twistPrepared = false;
        const Snapshot before = fresh.Take();
        fresh.mesh.PrepareTwist(true);
        EXPECT_TRUE(fresh.Take() == before) << c.name;
    }
}

TEST_F(TwistPairMesh, AtAngleZeroFactorIsOneAndNothingMoves)
{
    mesh.PrepareTwist(false);
    mesh.twistAngle = 0;
    const Snapshot before = Take();
    const double t = mesh.SolveTwistScale();
    EXPECT_NEAR(t, 1.0, 1e-12);
    mesh.PlaceTwistedFaces(t, 3, 4);
    const Snapshot after = Take();
    ASSERT_EQ(after.numbers.size(), before.numbers.size());
    for (size_t i = 0; i < before.numbers.size(); ++i) EXPECT_NEAR(after.numbers[i], before.numbers[i], 1e-12);
}

TEST_F(TwistPairMesh, PlaceMovesOnlyTheChosenTypes)
{
    mesh.PrepareTwist(false);
    mesh.faces[1].SetType(kHiddenType);
    mesh.twistAngle = 0.4;
    const CVector3d untouched = mesh.VertexPosition(3);
    const CVector3d moved = mesh.VertexPosition(0);
    mesh.PlaceTwistedFaces(1.0, 3, -999);
    EXPECT_EQ(mesh.VertexPosition(3), untouched);
    EXPECT_NE(mesh.VertexPosition(0), moved);
    mesh.PlaceTwistedFaces(1.0, 3, 4);
    EXPECT_EQ(mesh.VertexPosition(3), untouched);
}

TEST_F(TwistPairMesh, SolveWithoutRealRootKeepsLastFactorAndStops)
{
    struct Data {
        const char* name;
        CVector3d a, b, c;
        double edge;
    };
    const Data cases[] = {
        {"negative discriminant", CVector3d(0, 1, 0), CVector3d(0, 0, 0), CVector3d(1, 0, 0), 0.0},
        {"all zero, as before any preparation", CVector3d(), CVector3d(), CVector3d(), 0.0},
    };
    for (const Data& d : cases) {
        mesh.twistScale = 0.8;
        mesh.twistAngle = 0.5;
        mesh.SetTwistData(d.a, d.b, d.c, d.edge);
        theViewState.mode = CViewState::kTwist;
        EXPECT_EQ(mesh.SolveTwistScale(), 0.8) << d.name;
        EXPECT_EQ(theViewState.GetMode(), CViewState::kIdle) << d.name;
    }
}

TEST_F(TwistPairMesh, IdlePassWithoutFactorLeavesTheMeshAsItWas)
{
    mesh.PrepareTwist(false);
    mesh.SetTwistData(CVector3d(0, 1, 0), CVector3d(), CVector3d(1, 0, 0), 0.0);
    mesh.twistAngle = 0.5;
    mesh.twistStep = 0.002;
    theViewState.mode = CViewState::kTwist;
    const Snapshot before = Take();
    TwistIdlePass(mesh);
    EXPECT_TRUE(Take() == before);
    EXPECT_EQ(mesh.twistAngle, 0.5);
    EXPECT_EQ(theViewState.GetMode(), CViewState::kIdle);
}

TEST_F(TwistPairMesh, UnpreparedLoopPreparesWithoutMarksFirst)
{
    // Twist members as at program start: all zero.
    mesh.twistStep = 0.002;
    theViewState.mode = CViewState::kTwist;
    for (int pass = 0; pass < 50 && theViewState.GetMode() == CViewState::kTwist; ++pass) TwistIdlePass(mesh);
    EXPECT_TRUE(mesh.twistPrepared);
    EXPECT_TRUE(AllFinite());
    for (int i = 0; i < mesh.nVertices; ++i) EXPECT_NE(mesh.vertices[i].type, kTwistMarkType);
    // The link keeps its prepared length at every placed angle.
    EXPECT_NEAR(length(mesh.VertexPosition(3) - mesh.VertexPosition(0)), 2.0, 1e-9);
}

TEST_F(TwistPairMesh, UnpreparedLoopWithoutPairStopsAndWritesNothing)
{
    mesh.ReplaceFaceType(kSolidFaceType, kDualFaceType);
    mesh.twistStep = 0.002;
    theViewState.mode = CViewState::kTwist;
    const Snapshot before = Take();
    TwistIdlePass(mesh);
    EXPECT_TRUE(Take() == before);
    EXPECT_EQ(theViewState.GetMode(), CViewState::kIdle);
}

TEST(StepTwistAngle, ReversesPastTheLimitAndStopsAtTheMark)
{
    CMesh mesh(1, 1, 1);
    mesh.twistMark = 0.3;
    mesh.twistLimit = 0.5;
    mesh.twistAngle = 0.499;
    mesh.twistStep = 0.002;
    theViewState.mode = CViewState::kTwist;
    mesh.StepTwistAngle();
    EXPECT_DOUBLE_EQ(mesh.twistAngle, 0.499);
    EXPECT_DOUBLE_EQ(mesh.twistStep, -0.002);
    EXPECT_EQ(theViewState.GetMode(), CViewState::kIdle);

    mesh.twistAngle = 0.1;
    theViewState.mode = CViewState::kTwist;
    mesh.StepTwistAngle();
    EXPECT_DOUBLE_EQ(mesh.twistAngle, 0.098);
    EXPECT_EQ(theViewState.GetMode(), CViewState::kTwist);
}

} // namespace

// The stage sequence and the twist on the five built-in objects.
namespace {

struct ObjectCase {
    int type;
    double edgeLength;
    double factorAtLimit;
    int faceSides;  // vertices of a type-3 face
};

const ObjectCase kObjects[] = {
    {1, 1.25, 0.5, 3},
    {2, 0.911269837220, 0.585786, 4},
    {3, 0.961131723053, 0.640754, 3},
    {4, 0.557953156227, 0.666667, 5},
    {5, 0.507446082437, 0.700746, 3},
};

constexpr double kTableTolerance = 1e-9;

class TwistObjectTest : public ::testing::TestWithParam<ObjectCase> {
protected:
    void SetUp() override
    {
        theViewState.mode = CViewState::kIdle;
        theMesh.SelectVornObject(GetParam().type, true, console);
        for (int i = 0; i < theMesh.nFaces; ++i)
            if (theMesh.faces[i].type == kSquareFaceType) squares.push_back(i);
    }

    // Stage 50 to 75: hide the squares, mark, clear, start the loop.
    void AdvanceToTwist()
    {
        for (int k = 0; k < 4; ++k) theMesh.AdvanceSequence();
        ASSERT_EQ(theMesh.stage, 75);
        ASSERT_EQ(theViewState.GetMode(), CViewState::kTwist);
    }

    // Largest deviation of a square side from the table's edge length.
    double SquareSideError() const
    {
        double worst = 0;
        for (int f : squares) {
            const CPolyFace& s = theMesh.faces[f];
            for (int j = 0; j < 4; ++j) {
                const double len = length(theMesh.VertexPosition(s.verts[(j + 1) % 4]) -
                                          theMesh.VertexPosition(s.verts[j]));
                worst = std::fmax(worst, std::fabs(len - GetParam().edgeLength));
                if (!std::isfinite(len)) return INFINITY;
            }
        }
        return worst;
    }

    // Runs the loop until it stops by itself; every placed frame keeps the sides.
    void RunToStop()
    {
        theViewState.SetMode(CViewState::kTwist);
        ASSERT_EQ(theViewState.GetMode(), CViewState::kTwist);
        int passes = 0;
        while (theViewState.GetMode() == CViewState::kTwist && passes < 5000) {
            TwistIdlePass(theMesh);
            ++passes;
            ASSERT_LT(SquareSideError(), kTableTolerance) << "angle " << theMesh.twistAngle;
        }
        ASSERT_LT(passes, 5000);
    }

    int CountMarked() const
    {
        int n = 0;
        for (int i = 0; i < theMesh.nVertices; ++i) n += theMesh.vertices[i].type == kTwistMarkType;
        for (int i = 0; i < theMesh.nFaces; ++i) n += theMesh.faces[i].type == kTwistMarkType;
        for (int i = 0; i < theMesh.nEdges; ++i) n += theMesh.edges[i].type == kTwistMarkType;
        return n;
    }

    std::vector<int> squares;
    std::ostringstream console; // what selecting an object prints
};

TEST_P(TwistObjectTest, StageSequenceKeyByKey)
{
    ASSERT_EQ(theMesh.stage, 50);
    ASSERT_FALSE(squares.empty());
    EXPECT_EQ(CountMarked(), 0);

    theMesh.AdvanceSequence();
    EXPECT_EQ(theMesh.stage, 60);
    for (int f : squares) EXPECT_EQ(theMesh.faces[f].type, kHiddenType);
    for (int i = 0; i < theMesh.nFaces; ++i) EXPECT_NE(theMesh.faces[i].type, kSquareFaceType);

    theMesh.AdvanceSequence();
    EXPECT_EQ(theMesh.stage, 65);
    const int a = theMesh.markVertexA, b = theMesh.markVertexB;
    const int faceB = theMesh.markFaceB;
    EXPECT_EQ(theMesh.markFaceA, 0);
    EXPECT_EQ(a, 0);
    ASSERT_GT(faceB, 0);
    EXPECT_EQ(theMesh.faces[0].type, kTwistMarkType);
    EXPECT_EQ(theMesh.faces[faceB].type, kTwistMarkType);
    EXPECT_EQ(theMesh.vertices[a].type, kTwistMarkType);
    EXPECT_EQ(theMesh.vertices[b].type, kTwistMarkType);
    const int link = theMesh.FindEdge(a < b ? a : b, a < b ? b : a);
    ASSERT_GE(link, 0);
    EXPECT_EQ(theMesh.edges[link].type, kTwistMarkType);
    EXPECT_EQ(CountMarked(), 5);
    // B is a type-3 neighbour holding b, and the link is a table edge.
    bool bInFaceB = false;
    for (int k = 0; k < theMesh.faces[faceB].nVerts; ++k) bInFaceB |= theMesh.faces[faceB].verts[k] == b;
    EXPECT_TRUE(bInFaceB);
    EXPECT_EQ(theMesh.faces[faceB].nVerts, GetParam().faceSides);
    EXPECT_NEAR(std::sqrt(theMesh.linkLengthSqr), GetParam().edgeLength, kTableTolerance);
    EXPECT_DOUBLE_EQ(theMesh.twistLimit, degToRad(180.0 / GetParam().faceSides));

    theMesh.AdvanceSequence();
    EXPECT_EQ(theMesh.stage, 70);
    EXPECT_EQ(CountMarked(), 0);
    EXPECT_EQ(theMesh.faces[0].type, kSolidFaceType);
    EXPECT_EQ(theMesh.faces[faceB].type, kSolidFaceType);
    EXPECT_EQ(theMesh.edges[link].type, kDualFaceType);

    theMesh.twistAngle = 0.7;
    theMesh.AdvanceSequence();
    EXPECT_EQ(theMesh.stage, 75);
    EXPECT_EQ(theMesh.twistAngle, 0.0);
    EXPECT_EQ(theMesh.twistStep, 0.002);
    EXPECT_EQ(theViewState.GetMode(), CViewState::kTwist);
}

TEST_P(TwistObjectTest, NotableAnglesOfTheTwist)
{
    AdvanceToTwist();
    theViewState.mode = CViewState::kIdle;
    const std::vector<CVector3d> start = [] {
        std::vector<CVector3d> p;
        for (int i = 0; i < theMesh.nVertices; ++i) p.push_back(theMesh.VertexPosition(i));
        return p;
    }();

    theMesh.twistAngle = 0;
    const double t0 = theMesh.SolveTwistScale();
    EXPECT_NEAR(t0, 1.0, 1e-12);
    theMesh.PlaceTwistedFaces(t0, 3, 4);
    for (int i = 0; i < theMesh.nVertices; ++i) EXPECT_NEAR(length(theMesh.VertexPosition(i) - start[i]), 0, 1e-11);

    theMesh.twistAngle = theMesh.twistMark;
    theMesh.PlaceTwistedFaces(theMesh.SolveTwistScale(), 3, 4);
    EXPECT_LT(SquareSideError(), kTableTolerance);
    for (int f : squares) {
        const CPolyFace& s = theMesh.faces[f];
        EXPECT_NEAR(length(theMesh.VertexPosition(s.verts[3]) - theMesh.VertexPosition(s.verts[1])),
                    GetParam().edgeLength, 1e-8)
            << "square " << f;
    }

    theMesh.twistAngle = theMesh.twistLimit;
    const double tLimit = theMesh.SolveTwistScale();
    EXPECT_NEAR(tLimit, GetParam().factorAtLimit, 1e-6);
    theMesh.PlaceTwistedFaces(tLimit, 3, 4);
    EXPECT_LT(SquareSideError(), kTableTolerance);
    for (int f : squares) {
        const CPolyFace& s = theMesh.faces[f];
        EXPECT_NEAR(length(theMesh.VertexPosition(s.verts[3]) - theMesh.VertexPosition(s.verts[1])), 0, 1e-7)
            << "square " << f;
    }
}

TEST_P(TwistObjectTest, SuccessiveRunsStopAtTheNotableAngles)
{
    AdvanceToTwist();
    const double mark = theMesh.twistMark, limit = theMesh.twistLimit, step = 0.002;
    theViewState.mode = CViewState::kIdle;

    RunToStop();  // out through the mark
    EXPECT_GT(theMesh.twistAngle, mark);
    EXPECT_LT(theMesh.twistAngle, mark + 1.5 * step);

    RunToStop();  // to the limit, where the step turns round
    EXPECT_LE(theMesh.twistAngle, limit);
    EXPECT_GT(theMesh.twistAngle, limit - 1.5 * step);
    EXPECT_EQ(theMesh.twistStep, -step);

    RunToStop();  // back in through the mark
    EXPECT_LT(theMesh.twistAngle, mark);
    EXPECT_GT(theMesh.twistAngle, mark - 1.5 * step);

    RunToStop();  // through 0
    EXPECT_LT(theMesh.twistAngle, 0);
    EXPECT_GT(theMesh.twistAngle, -1.5 * step);

    RunToStop();  // out through the negative mark
    EXPECT_LT(theMesh.twistAngle, -mark);
    EXPECT_GT(theMesh.twistAngle, -mark - 1.5 * step);

    RunToStop();  // to the negative limit
    EXPECT_GE(theMesh.twistAngle, -limit);
    EXPECT_LT(theMesh.twistAngle, -limit + 1.5 * step);
    EXPECT_EQ(theMesh.twistStep, step);
}

TEST_P(TwistObjectTest, LoopAfterAnObjectSwitchUsesTheNewObject)
{
    AdvanceToTwist();
    for (int k = 0; k < 20; ++k) TwistIdlePass(theMesh);
    // Another object with its sequence started, then key 7 straight away.
    const ObjectCase& other = kObjects[GetParam().type % 5];
    theMesh.SelectVornObject(other.type, true, console);
    EXPECT_EQ(theViewState.GetMode(), CViewState::kIdle);
    squares.clear();
    for (int i = 0; i < theMesh.nFaces; ++i)
        if (theMesh.faces[i].type == kSquareFaceType) squares.push_back(i);
    theViewState.SetMode(CViewState::kTwist);
    for (int k = 0; k < 30 && theViewState.GetMode() == CViewState::kTwist; ++k) {
        TwistIdlePass(theMesh);
        double worst = 0;
        for (int f : squares) {
            const CPolyFace& s = theMesh.faces[f];
            for (int j = 0; j < 4; ++j)
                worst = std::fmax(worst, std::fabs(length(theMesh.VertexPosition(s.verts[(j + 1) % 4]) -
                                                          theMesh.VertexPosition(s.verts[j])) -
                                                   other.edgeLength));
        }
        ASSERT_LT(worst, kTableTolerance) << "pass " << k;
    }
    EXPECT_EQ(CountMarked(), 0);
}

TEST_P(TwistObjectTest, LoopOnThePlatonicSolidWritesOnlyFiniteValues)
{
    theMesh.SelectVornObject(GetParam().type, false, console);
    theMesh.twistAngle = 0;
    theMesh.twistStep = 0.002;
    theViewState.SetMode(CViewState::kTwist);
    for (int k = 0; k < 400 && theViewState.GetMode() == CViewState::kTwist; ++k) TwistIdlePass(theMesh);
    for (int i = 0; i < theMesh.nVertices; ++i)
        for (int c = 0; c < 3; ++c) ASSERT_TRUE(std::isfinite(theMesh.vertices[i].position[c]));
    EXPECT_EQ(CountMarked(), 0);
}

TEST_P(TwistObjectTest, RepeatedMarkingStopsWhenNoPairIsLeft)
{
    theMesh.AdvanceSequence();
    // Each press that finds a pair marks two more faces; the first press that
    // finds none changes nothing, and neither does any press after it.
    auto markedFaces = [] {
        int n = 0;
        for (int i = 0; i < theMesh.nFaces; ++i) n += theMesh.faces[i].type == kTwistMarkType;
        return n;
    };
    int pairs = 0;
    for (int press = 0; press < 40; ++press) {
        const int before = markedFaces();
        theMesh.PrepareTwist(true);
        if (markedFaces() == before) break;
        EXPECT_EQ(markedFaces(), before + 2) << "press " << press;
        ++pairs;
    }
    ASSERT_GT(pairs, 0);
    ASSERT_LT(pairs, 40) << "the marking never ran out of pairs";
    EXPECT_EQ(markedFaces(), 2 * pairs);

    const int faceA = theMesh.markFaceA, faceB = theMesh.markFaceB;
    auto allTypes = [] {
        std::vector<int> types;
        for (int i = 0; i < theMesh.nFaces; ++i) types.push_back(theMesh.faces[i].type);
        for (int i = 0; i < theMesh.nVertices; ++i) types.push_back(theMesh.vertices[i].type);
        for (int i = 0; i < theMesh.nEdges; ++i) types.push_back(theMesh.edges[i].type);
        return types;
    };
    const std::vector<int> settled = allTypes();
    for (int press = 0; press < 3; ++press) theMesh.PrepareTwist(true);
    EXPECT_EQ(allTypes(), settled);
    // The marks still name the last pair found.
    EXPECT_EQ(theMesh.markFaceA, faceA);
    EXPECT_EQ(theMesh.markFaceB, faceB);
    EXPECT_NE(faceA, faceB);
    EXPECT_EQ(theMesh.faces[faceA].type, kTwistMarkType);
    EXPECT_EQ(theMesh.faces[faceB].type, kTwistMarkType);
    for (int i = 0; i < theMesh.nFaces; ++i) {
        const int t = theMesh.faces[i].type;
        EXPECT_TRUE(t == 2 || t == 3 || t == 4 || t == 99) << "face " << i << " type " << t;
    }
}

// Object 1 twisted out to its limit (60 degrees), then an object with a
// smaller limit: the carried angle comes back to that limit with its sign,
// the step keeps its direction, and key 7 runs the loop on the new object.
TEST(TwistCarriedOver, AngleBeyondTheNewLimitComesBackToIt)
{
    struct {
        int type;
        double limitDegrees, edgeLength;
        double sign;
    } const cases[] = {{2, 45, 0.911269837220, 1}, {4, 36, 0.557953156227, 1}, {2, 45, 0.911269837220, -1},
                       {5, 60, 0.507446082437, 1}};
    std::ostringstream console;
    for (const auto& c : cases) {
        theViewState.mode = CViewState::kIdle;
        theMesh.SelectVornObject(1, true, console);
        for (int k = 0; k < 4; ++k) theMesh.AdvanceSequence();
        ASSERT_EQ(theViewState.GetMode(), CViewState::kTwist);
        for (int run = 0; run < (c.sign > 0 ? 2 : 6); ++run) {
            if (run > 0) theViewState.SetMode(CViewState::kTwist);
            for (int k = 0; k < 5000 && theViewState.GetMode() == CViewState::kTwist; ++k) TwistIdlePass(theMesh);
        }
        const double carried = theMesh.twistAngle, step = theMesh.twistStep;
        ASSERT_NEAR(carried, c.sign * degToRad(60), 0.003) << c.type;

        theMesh.SelectVornObject(c.type, true, console);
        const double limit = degToRad(c.limitDegrees);
        EXPECT_EQ(theMesh.twistAngle, std::fabs(carried) > limit ? c.sign * limit : carried) << c.type;
        EXPECT_EQ(theMesh.twistStep, step) << c.type;

        std::vector<int> squares;
        for (int i = 0; i < theMesh.nFaces; ++i)
            if (theMesh.faces[i].type == kSquareFaceType) squares.push_back(i);
        theViewState.SetMode(CViewState::kTwist);
        int passes = 0;
        for (; passes < 100 && theViewState.GetMode() == CViewState::kTwist; ++passes) {
            TwistIdlePass(theMesh);
            for (int f : squares) {
                const CPolyFace& s = theMesh.faces[f];
                for (int j = 0; j < 4; ++j)
                    ASSERT_NEAR(length(theMesh.VertexPosition(s.verts[(j + 1) % 4]) -
                                       theMesh.VertexPosition(s.verts[j])),
                                c.edgeLength, 1e-9)
                        << c.type << " pass " << passes;
            }
        }
        EXPECT_EQ(passes, 100) << c.type;
        EXPECT_LT(std::fabs(theMesh.twistAngle), limit) << c.type;
    }
    theViewState.mode = CViewState::kIdle;
}

INSTANTIATE_TEST_SUITE_P(Objects, TwistObjectTest, ::testing::ValuesIn(kObjects),
                         [](const ::testing::TestParamInfo<ObjectCase>& info) {
                             return "object" + std::to_string(info.param.type);
                         });

} // namespace
