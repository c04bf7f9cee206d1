// The fold parameter of the built-in objects and the stage sequence that the
// right arrow key steps through.
#include <ostream>

#include "hedrix/core/HedrixGlobals.h"
#include "mesh/TypeCodes.h"

namespace {

constexpr double kSmallestParameter = 0.00001;
constexpr double kLargestParameter = 0.99999;

} // namespace

void CMesh::SetVornParameter(double parameter)
{
    // Never quite 0 or 1: at 0 the faces would lose their directions, at 1
    // neighbouring faces would share vertices.
    if (parameter < kSmallestParameter) parameter = kSmallestParameter;
    if (parameter > kLargestParameter) parameter = kLargestParameter;
    foldParameter = parameter;
    const double r = parameter * foldScale;
    for (int i = 0; i < nFaces; ++i) {
        const CPolyFace& f = faces[i];
        if (f.type != kSolidFaceType) continue;
        const CVector3d c = f.Centre();
        for (int k = 0; k < f.nVerts; ++k) {
            Vertex& v = vertices[f.verts[k]];
            CVector3d d = v.Position() - c;
            d.normalize();
            v.SetPosition(c + r * d, kPlainType);
        }
    }
    ComputeFaceCentres();
    ComputeFaceNormals();
    BuildDisplayLists();
}

void CMesh::FoldStep(double step, std::ostream& os)
{
    foldParameter = foldParameter - step;
    // The value below the bound is shown before it is clamped.
    os << foldParameter << std::endl;
    if (lowerBound > foldParameter) {
        foldParameter = lowerBound;
        theViewState.StopAnimation();
    }
    SetVornParameter(foldParameter);
}

void CMesh::StartSequence()
{
    SetVornParameter(lowerBound);
    stage = 50;
}

void CMesh::AdvanceSequence()
{
    // Each step starts at once, whatever loop is still running.
    switch (stage) {
    case 20:
        stage = 50;
        theViewState.SetMode(CViewState::kFold);
        break;
    case 50:
        stage = 60;
        ReplaceFaceType(kSquareFaceType, kHiddenType);
        BuildDisplayLists();
        break;
    case 60:
        stage = 65;
        PrepareTwist(true);
        BuildDisplayLists();
        break;
    case 65:
        stage = 70;
        ClearMarks();
        BuildDisplayLists();
        break;
    case 70:
        stage = 75;
        twistAngle = 0;
        twistStep = 0.002;
        theViewState.SetMode(CViewState::kTwist);
        break;
    case 75: theViewState.SetMode(CViewState::kTwist); break;
    default: break;
    }
}
