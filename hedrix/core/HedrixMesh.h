#pragma once
// The polyhedron viewer's mesh: the shared store with 15 slots per list plus
// the fold, twist and marker state of the built-in objects.
#include <ostream>
#include <string>

#include "mesh/MeshConfigs.h"

class CMesh : public CPolyMeshStore {
public:
    CMesh() = default;
    CMesh(int vertexCapacity, int edgeCapacity, int faceCapacity)
        : CPolyMeshStore(vertexCapacity, edgeCapacity, faceCapacity)
    {
    }

    // k outside the six conditions is dropped: it would write past the array.
    void SetFixingCondition(int k, int index, double value)
    {
        if (k >= 0 && k < 6) fixing[k] = CFixingCondition(index, value);
    }

    // Built-in objects (VornObjects.cpp); messages go to os.
    void GetVornObj(int type, int counts[3], double vertexRows[][4], int faceList[], std::ostream& os);
    void BuildMeshFromTables(const int counts[3], const double vertexRows[][4], const int faceList[], double scale,
                             std::ostream& os);
    void MakeVornTet(std::ostream& os);
    void MakeVornHex(std::ostream& os);
    void MakeVornOct(std::ostream& os);
    void MakeVornDod(std::ostream& os);
    void MakeVornIco(std::ostream& os);
    void SelectVornObject(int type, bool startSequence, std::ostream& os);

    // Fold parameter and stage sequence (Fold.cpp).
    void SetVornParameter(double parameter);
    // Prints the new parameter on os.
    void FoldStep(double step, std::ostream& os);
    void StartSequence();
    void AdvanceSequence();

    // Face twist (Twist.cpp).
    void PrepareTwist(bool mark);
    // A twist angle carried over from another object, brought back to this
    // object's limit if it lies beyond (sign and step kept): past the limit
    // the twist has no real solution and the loop would stop at once.
    void FitTwistAngleToObject();
    void ComputeTwistVectors(int faceA, int vertexA, int faceB, int vertexB);
    void SetTwistData(CVector3d a, CVector3d b, CVector3d c, double edgeLength);
    double SolveTwistScale();
    void PlaceTwistedFaces(double t, int typeA, int typeB);
    void StepTwistAngle();
    void ClearMarks();

    // Edge under a view ray (Pick.cpp): index or -1; its distance from the
    // ray into *distance when given and an edge is found.
    int PickEdge(CVector3d xv, CVector3d view, double* distance = nullptr) const;

    // Text formats and export (Files.cpp), progress and failures on os;
    // false when the file could not be opened, written or was refused (the
    // mesh is then unchanged).
    bool WriteMeshFile(std::string name, std::ostream& os) const;
    bool ReadMeshFile(std::string name, std::ostream& os);
    bool WriteMeshText(std::string name, std::ostream& os) const;
    bool ReadMeshFixed(std::string name, std::ostream& os);
    bool ReadMeshText(std::string name, std::ostream& os);
    bool LoadDesignFile(std::string name, std::ostream& os);
    bool WriteMeshCSource(std::string name, std::ostream& os) const;
    void DumpMesh(std::ostream& os) const;

    CFixingCondition fixing[6];
    CVector3d twistA, twistB, twistC;
    bool meshFlag = false;
    double twistCLengthSqr = 0, linkLengthSqr = 0;
    double foldScale = 0, lowerBound = 0, objectConstant = 0, foldParameter = 0;
    double twistLimit = 0, twistMark = 0, twistAngle = 0, twistStep = 0;
    int objectType = 0;
    int stage = 0;
    int markFaceA = 0, markFaceB = 0, markVertexA = 0, markVertexB = 0;
    // The frames and twist vectors belong to the mesh they were taken from:
    // PrepareTwist sets the flag and records the object; rebuilding the mesh
    // from tables may clear the flag, a change of object is seen either way.
    bool twistPrepared = false;
    int twistObjectType = 0;
    // Last radial factor the twist solve found; kept when a solve has no root.
    double twistScale = 1;
};

bool CrossesMark(double newAngle, double oldAngle, double mark, double limit);
