// The five built-in objects: their tables, the makers with the per-object
// fold and twist constants, and the switch between objects.
#include <cmath>
#include <iostream>

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

void MakeVornObject(CMesh& mesh, int type, double lowerBound, double twistMark, double objectConstant)
{
    int counts[3];
    double rows[kMakerRows][4];
    int faceList[kMakerFaceInts];
    mesh.GetVornObj(type, counts, rows, faceList);
    mesh.BuildMeshFromTables(counts, rows, faceList, 1.0);
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
    mesh.GenerateEdges(std::cout);
}

} // namespace

void CMesh::GetVornObj(int type, int counts[3], double vertexRows[][4], int faceList[])
{
    objectType = type;
    counts[2] = 0;
    if (!IsVornType(type)) {
        std::cout << "error in GetVornObj! " << std::endl;
        return;
    }
    const VornTable& table = kVornTables[type - 1];
    counts[0] = table.counts[0];
    counts[1] = table.counts[1];
    for (int i = 0; i < counts[0]; ++i)
        for (int k = 0; k < 4; ++k) vertexRows[i][k] = table.rows[i][k];
    for (int i = 0; i < table.faceInts; ++i) faceList[i] = table.faceList[i];
}

void CMesh::BuildMeshFromTables(const int counts[3], const double vertexRows[][4], const int faceList[], double scale)
{
    if (!TablesFitStore(*this, counts, faceList, std::cout)) return;
    meshFlag = false;
    stage = 20;
    twistPrepared = false;  // new records: the old frames no longer belong to them
    FillMeshFromTables(*this, counts, vertexRows, faceList, scale, std::cout);
}

void CMesh::MakeVornTet()
{
    MakeVornObject(*this, 1, 0.25, 0.38813951537018881, 0.27009075673772648);
    BuildDisplayLists();
}

void CMesh::MakeVornHex()
{
    MakeVornObject(*this, 2, std::sqrt(2.0) - 1, 0.28741314875777768, 0.43759328600096092);
}

void CMesh::MakeVornOct()
{
    MakeVornObject(*this, 3, std::sqrt(2.0) / (std::sqrt(2.0) + 3), 0.35456388775814723, 0.33646214115966405);
}

void CMesh::MakeVornDod()
{
    MakeVornObject(*this, 4, (5 - std::sqrt(5.0)) / (3 * (3 * std::sqrt(5.0) - 5)), 0.22874989222089501,
                   0.56212196399304193);
}

void CMesh::MakeVornIco()
{
    MakeVornObject(*this, 5, (std::sqrt(5.0) - 1) / (2 * (4 - std::sqrt(5.0))), 0.34065201195387368,
                   0.36385589352440656);
}

void CMesh::SelectVornObject(int type, bool startSequence)
{
    theViewState.StopAnimation();
    switch (type) {
    case 1: MakeVornTet(); break;
    case 2: MakeVornHex(); break;
    case 3: MakeVornOct(); break;
    case 4: MakeVornDod(); break;
    case 5: MakeVornIco(); break;
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
    GenerateEdges(std::cout);
    theViewState.ResetToggles();
}
