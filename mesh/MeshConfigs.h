#pragma once
// The two record shapes of the system.
#include "mesh/MeshRecords.h"
#include "mesh/MeshStore.h"

// Polyhedron viewer face: adds the frame that the twist turns about.
class CPolyFace : public CFaceT<15, 15> {
public:
    void StoreFrameOrigin() { frameOrigin = centre; }
    void SetFrameAxes(const CVector3d& u, const CVector3d& v)
    {
        frameU = u;
        frameV = v;
    }
    CVector3d FrameOrigin() const { return frameOrigin; }
    CVector3d FrameU() const { return frameU; }
    CVector3d FrameV() const { return frameV; }

    bool operator==(const CPolyFace&) const = default;

    CVector3d frameU;
    CVector3d frameV;
    CVector3d frameOrigin;
};

struct PolyMeshConfig {
    using Vertex = CVertexT<15, 15>;
    using Face = CPolyFace;
    static constexpr bool kEdgeProgress = false;
    static constexpr int kVertexCapacity = 1000;
    static constexpr int kEdgeCapacity = 2100;
    static constexpr int kFaceCapacity = 1400;
};

struct DesignMeshConfig {
    using Vertex = CVertexT<12, 13>;
    using Face = CFaceT<12, 12>;
    static constexpr bool kEdgeProgress = true;
    static constexpr int kVertexCapacity = 70000;
    static constexpr int kEdgeCapacity = 140000;
    static constexpr int kFaceCapacity = 70000;
};

using CPolyMeshStore = CMeshStore<PolyMeshConfig>;
using CDesignMeshStore = CMeshStore<DesignMeshConfig>;
