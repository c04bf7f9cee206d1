// The fold parameter and the stage sequence of the built-in objects.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "VornCases.h"
#include "hedrix/core/HedrixGlobals.h"

namespace {

std::unique_ptr<CMesh> Built(int type, bool start)
{
    auto mesh = std::make_unique<CMesh>();
    std::ostringstream console;
    mesh->SelectVornObject(type, start, console);
    return mesh;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Runs the fold loop as the idle callback does while the mode is 90; the cap
// only keeps a broken loop from running forever.
int RunFoldLoop(CMesh& mesh, std::vector<std::string>& printed)
{
    theViewState.SetMode(CViewState::kFold);
    int steps = 0;
    std::ostringstream console;
    while (theViewState.GetMode() == CViewState::kFold && steps < 2000) {
        mesh.FoldStep(0.002, console);
        ++steps;
    }
    printed = Lines(console.str());
    return steps;
}

class VornFold : public ::testing::TestWithParam<VornCase> {};

TEST_P(VornFold, LoopEndsAtLowerBoundWithTableGeometry)
{
    const VornCase& c = GetParam();
    auto mesh = Built(c.type, false);
    ASSERT_EQ(0.99999, mesh->foldParameter);
    std::vector<std::string> printed;
    EXPECT_EQ(c.foldSteps, RunFoldLoop(*mesh, printed));
    ASSERT_EQ(static_cast<std::size_t>(c.foldSteps), printed.size());
    EXPECT_EQ(c.firstFoldLine, printed.front());
    EXPECT_EQ(c.lastFoldLine, printed.back());
    EXPECT_EQ(c.lowerBound, mesh->foldParameter);
    EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());

    for (int i = 0; i < mesh->nVertices; ++i)
        EXPECT_NEAR(c.radius, length(mesh->VertexPosition(i)), 1e-10) << "vertex " << i;
    for (int e = 0; e < mesh->nEdges; ++e) {
        const CEdge& edge = mesh->edges[e];
        EXPECT_NEAR(c.edge, length(mesh->VertexPosition(edge.v2) - mesh->VertexPosition(edge.v1)), 1e-10)
            << "edge " << e;
    }
}

// The centres stay put, so every type-3 face has radius p * foldScale about
// the centre it had at the table size.
TEST_P(VornFold, ParameterSetsType3RadiusAboutFixedCentres)
{
    const VornCase& c = GetParam();
    auto mesh = Built(c.type, true);
    std::vector<CVector3d> centres;
    for (int j = 0; j < c.nType3; ++j) centres.push_back(mesh->faces[j].Centre());
    for (double p : {0.7, 0.5, 0.99999}) {
        mesh->SetVornParameter(p);
        EXPECT_EQ(p, mesh->foldParameter);
        for (int j = 0; j < c.nType3; ++j) {
            const CPolyFace& f = mesh->faces[j];
            EXPECT_NEAR(0.0, length(f.Centre() - centres[j]), 1e-12);
            for (int k = 0; k < f.nVerts; ++k)
                EXPECT_NEAR(p * mesh->foldScale, length(mesh->VertexPosition(f.verts[k]) - centres[j]), 1e-12);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllObjects, VornFold, ::testing::ValuesIn(kVornCases), VornCaseName);

TEST(VornParameter, Clamps)
{
    struct Case {
        double given, stored;
    };
    const Case cases[] = {{2.0, 0.99999}, {0.99999, 0.99999}, {1.0, 0.99999}, {0.0, 0.00001}, {-3.0, 0.00001},
                          {0.00001, 0.00001}};
    auto mesh = Built(1, false);
    for (const Case& k : cases) {
        mesh->SetVornParameter(k.given);
        EXPECT_EQ(k.stored, mesh->foldParameter) << k.given;
        const CPolyFace& f = mesh->faces[2];
        const double r = length(mesh->VertexPosition(f.verts[1]) - f.Centre());
        EXPECT_NEAR(k.stored * mesh->foldScale, r, 1e-12) << k.given;
        EXPECT_GT(r, 0.0);
    }
}

TEST(VornParameter, MarkedFacesKeepTheirSize)
{
    auto mesh = Built(2, true);
    const CVector3d v = mesh->VertexPosition(0);
    mesh->faces[0].type = 4;
    mesh->SetVornParameter(0.8);
    EXPECT_EQ(v.x(), mesh->VertexPosition(0).x());
    EXPECT_NEAR(0.8 * mesh->foldScale, length(mesh->VertexPosition(4) - mesh->faces[1].Centre()), 1e-12);
}

TEST(VornFoldStep, AtLowerBoundPrintsBelowAndRestores)
{
    auto mesh = Built(1, true);
    theViewState.SetMode(CViewState::kFold);
    std::ostringstream console;
    mesh->FoldStep(0.002, console);
    EXPECT_EQ("0.248\n", console.str());
    EXPECT_EQ(0.25, mesh->foldParameter);
    EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
}

TEST(VornSequence, StageTable)
{
    auto mesh = Built(1, false);
    ASSERT_EQ(20, mesh->stage);

    mesh->AdvanceSequence();
    EXPECT_EQ(50, mesh->stage);
    EXPECT_EQ(CViewState::kFold, theViewState.GetMode());

    // Pressed again at once: the squares hide while the fold goes on.
    mesh->AdvanceSequence();
    EXPECT_EQ(60, mesh->stage);
    EXPECT_EQ(CViewState::kFold, theViewState.GetMode());
    for (int j = 8; j < 14; ++j) EXPECT_EQ(kHiddenType, mesh->faces[j].type);
    EXPECT_EQ(0.99999, mesh->foldParameter);

    std::vector<std::string> printed;
    RunFoldLoop(*mesh, printed);
    EXPECT_EQ(0.25, mesh->foldParameter);

    mesh->AdvanceSequence();
    EXPECT_EQ(65, mesh->stage);
    EXPECT_EQ(kTwistMarkType, mesh->faces[0].type);

    mesh->AdvanceSequence();
    EXPECT_EQ(70, mesh->stage);
    for (int j = 0; j < mesh->nFaces; ++j) EXPECT_NE(kTwistMarkType, mesh->faces[j].type);

    mesh->twistAngle = 0.3;
    mesh->twistStep = -0.002;
    mesh->AdvanceSequence();
    EXPECT_EQ(75, mesh->stage);
    EXPECT_EQ(0.0, mesh->twistAngle);
    EXPECT_EQ(0.002, mesh->twistStep);
    EXPECT_EQ(CViewState::kTwist, theViewState.GetMode());

    mesh->AdvanceSequence();
    EXPECT_EQ(75, mesh->stage);
    EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
    mesh->AdvanceSequence();
    EXPECT_EQ(CViewState::kTwist, theViewState.GetMode());
    theViewState.StopAnimation();
}

TEST(VornSequence, OtherStagesDoNothing)
{
    auto mesh = Built(3, false);
    for (int stage : {0, 19, 55, 100}) {
        mesh->stage = stage;
        theViewState.StopAnimation();
        mesh->AdvanceSequence();
        EXPECT_EQ(stage, mesh->stage);
        EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
        EXPECT_EQ(kSquareFaceType, mesh->faces[25].type);
    }
}

TEST(VornSequence, StartSequenceAtLowerBound)
{
    auto mesh = Built(5, false);
    mesh->StartSequence();
    EXPECT_EQ(50, mesh->stage);
    EXPECT_EQ(mesh->lowerBound, mesh->foldParameter);
}

} // namespace
