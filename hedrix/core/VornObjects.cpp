// The five built-in objects: their tables, the makers with the per-object
// fold and twist constants, and the switch between objects.
#include <cmath>
#include <ostream>

#include "hedrix/core/HedrixGlobals.h"
#include "mesh/MeshTables.h"

namespace {

#include "hedrix/core/VornTables.inc"

struct VornTable {
    const int* counts;
    const double (*rows)[4];
    const int* faceList;
    int faceInts;
};

template <int nV, int nInts>
constexpr VornTable MakeTable(const int (&counts)[3], const double (&rows)[nV][4], const int (&faceList)[nInts])
{
    return VornTable{counts, rows, faceList, nInts};
}

const VornTable kVornTables[5] = {
    MakeTable(vornTet_n, vornTet_v, vornTet_f), MakeTable(vornHex_n, vornHex_v, vornHex_f),
    MakeTable(vornOct_n, vornOct_v, vornOct_f), MakeTable(vornDod_n, vornDod_v, vornDod_f),
    MakeTable(vornIco_n, vornIco_v, vornIco_f),
};

bool IsVornType(int type) { return type >= 1 && type <= 5; }

// Large enough for the biggest object (60 rows, 364 face ints).
constexpr int kMakerRows = 100;
constexpr int kMakerFaceInts = 700;

void MakeVornObject(CMesh& mesh, int type, double lowerBound, double twistMark, double objectConstant,
                    std::ostream& os)
{
    int counts[3];
    double rows[kMakerRows][4];
    int faceList[kMakerFaceInts];
    mesh.GetVornObj(type, counts, rows, faceList, os);
    mesh.BuildMeshFromTables(counts, rows, faceList, 1.0, os);
    mesh.lowerBound = lowerBound;
    mesh.objectConstant = objectConstant;
    mesh.twistMark = twistMark;
    // Face 0's circumradius at the table size, scaled up to the Platonic face.
    const CPolyFace& face0 = mesh.faces[0];
    const CVector3d p = mesh.vertices[face0.verts[0]].Position();
    mesh.foldScale = (1 / mesh.lowerBound) * length(p - face0.Centre());
    mesh.SetVornParameter(0.99999);
    mesh.ComputeFaceCentres();
    mesh.ComputeFaceNormals();
    mesh.GenerateEdges(os);
}

} // namespace

void CMesh::GetVornObj(int type, int counts[3], double vertexRows[][4], int faceList[], std::ostream& os)
{
    objectType = type;
    counts[2] = 0;
    if (!IsVornType(type)) {
        os << "error in GetVornObj! " << std::endl;
        return;
    }
    const VornTable& table = kVornTables[type - 1];
    counts[0] = table.counts[0];
    counts[1] = table.counts[1];
    for (int i = 0; i < counts[0]; ++i)
        for (int k = 0; k < 4; ++k) vertexRows[i][k] = table.rows[i][k];
    for (int i = 0; i < table.faceInts; ++i) faceList[i] = table.faceList[i];
}

void CMesh::BuildMeshFromTables(const int counts[3], const double vertexRows[][4], const int faceList[], double scale,
                                std::ostream& os)
{
    if (!TablesFitStore(*this, counts, faceList, os)) return;
    meshFlag = false;
    stage = 20;
    twistPrepared = false;  // new records: the old frames no longer belong to them
    FillMeshFromTables(*this, counts, vertexRows, faceList, scale, os);
}

void CMesh::MakeVornTet(std::ostream& os)
{
    MakeVornObject(*this, 1, 0.25, 0.38813951537018881, 0.27009075673772648, os);
    BuildDisplayLists();
}

void CMesh::MakeVornHex(std::ostream& os)
{
    MakeVornObject(*this, 2, std::sqrt(2.0) - 1, 0.28741314875777768, 0.43759328600096092, os);
}

void CMesh::MakeVornOct(std::ostream& os)
{
    MakeVornObject(*this, 3, std::sqrt(2.0) / (std::sqrt(2.0) + 3), 0.35456388775814723, 0.33646214115966405, os);
}

void CMesh::MakeVornDod(std::ostream& os)
{
    MakeVornObject(*this, 4, (5 - std::sqrt(5.0)) / (3 * (3 * std::sqrt(5.0) - 5)), 0.22874989222089501,
                   0.56212196399304193, os);
}

void CMesh::MakeVornIco(std::ostream& os)
{
    MakeVornObject(*this, 5, (std::sqrt(5.0) - 1) / (2 * (4 - std::sqrt(5.0))), 0.34065201195387368,
                   0.36385589352440656, os);
}

void CMesh::SelectVornObject(int type, bool startSequence, std::ostream& os)
{
    theViewState.StopAnimation();
    switch (type) {
    case 1: MakeVornTet(os); break;
    case 2: MakeVornHex(os); break;
    case 3: MakeVornOct(os); break;
    case 4: MakeVornDod(os); break;
    case 5: MakeVornIco(os); break;
    default: break;
    }
    // An unknown object builds nothing and keeps the solid counter, so the
    // arrow keys go on stepping from the object actually shown.
    if (IsVornType(type)) {
        currentSolid = type + 900;
        FitTwistAngleToObject();
        // The marker list must not name records of the previous object.
        markFaceA = markFaceB = markVertexA = markVertexB = 0;
    }
    if (startSequence) StartSequence();
    ComputeFaceCentres();
    ComputeFaceNormals();
    GenerateEdges(os);
    theViewState.ResetToggles();
}
