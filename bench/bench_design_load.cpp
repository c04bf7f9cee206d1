// Timings of loading a design file of about 69000 quads (263 x 263), close to
// the design viewer's capacities: reading, centres, normals, edges, display
// lists (compile, rebuilds, the memory they hold, one redisplay) and a small
// file loaded over a full store. The GL benchmarks need an X display (a
// freeglut window of the viewer's size gives them a GL context); without one
// they are skipped.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "crimpa/app/DesignDisplayLists.h"
#include "crimpa/core/DesignFiles.h"
#include "crimpa/core/DesignMesh.h"
#include "crimpa/core/Keys.h"
#include "crimpa/core/ViewerState.h"
#include "mesh/LinearEdges.h"
#include "render/MeshGuards.h"
#include "render/ViewerGLState.h"
#include "render/ViewerWindow.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

constexpr int kGrid = 263;
constexpr int kWindowWidth = 900;
constexpr int kWindowHeight = 700;
constexpr int kRebuilds = 10;
bool haveContext = false;
std::string gridFile;
std::string smallFile;

double ResidentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double TimedBuild(const CMesh& m)
{
    const auto start = std::chrono::steady_clock::now();
    BuildDesignDisplayLists(m);
    glFinish();
    return Seconds(start);
}

bool NeedContext(benchmark::State& state)
{
    if (!haveContext) state.SkipWithError("no X display: no GL context");
    return haveContext;
}

// Takes the progress and report lines and drops them, so that they stay
// out of the benchmark report.
std::ostream& Quiet()
{
    static std::ostream sink(nullptr);
    return sink;
}

std::string WriteGridFile(const std::string& dir, const char* name, int n)
{
    const std::string path = dir + name;
    std::ofstream out(path);
    const int nv = (n + 1) * (n + 1);
    out << nv << ' ' << n * n << " 0\n";
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) out << j * (n + 1) + i + 1 << ' ' << i * 0.01 << ' ' << j * 0.01 << " 0 0\n";
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int v = j * (n + 1) + i + 1;
            out << j * n + i + 1 << " 4 " << v << ' ' << v + 1 << ' ' << v + n + 2 << ' ' << v + n + 1 << ' '
                << 1 + i % 3 << '\n';
        }
    return path;
}

CMesh& LoadedMesh()
{
    static CMesh mesh;
    static bool loaded = false;
    if (!loaded) {
        loaded = ReadMeshText(gridFile, mesh, Quiet());
        mesh.ComputeFaceCentres();
        mesh.ComputeFaceNormals();
        mesh.GenerateEdges(Quiet());
    }
    return mesh;
}

// The loaded grid with every vertex lifted by its own small height, so that
// nearly every edge has a length of its own, as in a folded design.
CMesh& IrregularMesh()
{
    static CMesh mesh;
    static bool built = false;
    if (!built) {
        built = ReadMeshText(gridFile, mesh, Quiet());
        for (int i = 0; i < mesh.nVertices; ++i) {
            const CVector3d p = mesh.vertices[i].Position();
            const double h = std::sin(12.9898 * i) * 43758.5453;
            mesh.vertices[i].Set(p.x(), p.y(), 0.002 * (h - std::floor(h)), mesh.vertices[i].type);
        }
        mesh.ComputeFaceCentres();
        mesh.ComputeFaceNormals();
        mesh.GenerateEdges(Quiet());
    }
    return mesh;
}

void BM_ReadDesignFile(benchmark::State& state)
{
    static CMesh scratch;
    for (auto _ : state)
        if (!ReadMeshText(gridFile, scratch, Quiet())) state.SkipWithError("grid file not read");
    state.counters["faces"] = scratch.nFaces;
}

void BM_FaceCentres(benchmark::State& state)
{
    CMesh& m = LoadedMesh();
    for (auto _ : state) m.ComputeFaceCentres();
}

void BM_FaceNormals(benchmark::State& state)
{
    CMesh& m = LoadedMesh();
    for (auto _ : state) m.ComputeFaceNormals();
}

// Both edge benchmarks take the grid size as their argument.
// The depth planes of one frame: what the grid at capacity shows in the start
// view, clipped to the window's extents (the display computes it every frame);
// the argument chooses the grid as above.
void BM_VisibleDepth(benchmark::State& state)
{
    const CMesh& mesh = state.range(0) == 0 ? LoadedMesh() : IrregularMesh();
    const CViewBox box = ComputeViewBox(kWindowWidth, kWindowHeight, zoom, ERatioOrder::kProductFirst);
    const CCountedDepth counted = CountedDepth(box, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(VisibleDepth(mesh, kDesignSceneReach, CViewTurn(rotX, rotZ), box, counted));
}

void BM_GenerateEdgesHashed(benchmark::State& state)
{
    static CMesh m;
    FillQuadGrid(m, static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    for (auto _ : state) m.GenerateEdges(Quiet());
    state.counters["faces"] = m.nFaces;
    state.counters["edges"] = m.nEdges;
}

void BM_GenerateEdgesLinear(benchmark::State& state)
{
    static CMesh m;
    FillQuadGrid(m, static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    for (auto _ : state) ReferenceGenerateEdges(m);
    state.counters["faces"] = m.nFaces;
    state.counters["edges"] = m.nEdges;
}

// Runs first of the GL benchmarks, so that "before" holds no lists yet; the
// argument chooses the loaded grid (0) or the one with irregular lengths (1),
// which is best run alone (--benchmark_filter) for its "before".
void BM_ListMemoryAndRebuilds(benchmark::State& state)
{
    if (!NeedContext(state)) return;
    CMesh& m = state.range(0) == 0 ? LoadedMesh() : IrregularMesh();
    state.counters["edge_lengths"] = meshdrawing::DistinctTubeLengths(m, m.edges.get(), m.nEdges);
    for (auto _ : state) {
        state.counters["rss_before_MB"] = ResidentMegabytes();
        state.counters["compile_s"] = TimedBuild(m);
        state.counters["rss_compiled_MB"] = ResidentMegabytes();
        double first = 0, last = 0;
        for (int k = 1; k <= kRebuilds; ++k) {
            last = TimedBuild(m);
            if (k == 1) {
                first = last;
                state.counters["rss_1_rebuild_MB"] = ResidentMegabytes();
            }
        }
        state.counters["rss_10_rebuilds_MB"] = ResidentMegabytes();
        state.counters["rebuild_first_s"] = first;
        state.counters["rebuild_last_s"] = last;
        state.counters["last_over_first"] = last / first;
    }
    state.counters["held_MB"] = state.counters["rss_10_rebuilds_MB"] - state.counters["rss_before_MB"];
}

void BM_BuildDisplayLists(benchmark::State& state)
{
    if (!NeedContext(state)) return;
    CMesh& m = LoadedMesh();
    for (auto _ : state) {
        BuildDesignDisplayLists(m);
        glFinish();
    }
}

// One frame of the design viewer's default view: axes, faces, edge tubes and
// vertex spheres, in the viewer's window size, projection and light; the
// argument chooses the grid as above.
void BM_Redisplay(benchmark::State& state)
{
    if (!NeedContext(state)) return;
    const CMesh& mesh = state.range(0) == 0 ? LoadedMesh() : IrregularMesh();
    BuildDesignDisplayLists(mesh);
    SetViewerGLState();
    for (auto _ : state) {
        // As the viewer's display: the depth planes follow what the view shows.
        SetOrthoView(kWindowWidth, kWindowHeight,
                     SceneViewBox(mesh, kDesignSceneReach, rotX, rotZ, kWindowWidth, kWindowHeight, zoom,
                                  ERatioOrder::kProductFirst, ViewerClampsDepth()));
        BeginViewRotation(rotX, rotZ);
        for (GLuint list : {kDesignListAxes, kDesignListFaces, kDesignListEdges, kDesignListVertices})
            glCallList(list);
        glPopMatrix();
        glutSwapBuffers();
        glFinish();
    }
}

// A 4-vertex design file loaded through the design menu's path while the
// store is full; the full store is refilled outside the timing.
void BM_LoadSmallAfterFullStore(benchmark::State& state)
{
    if (!NeedContext(state)) return;
    for (auto _ : state) {
        state.PauseTiming();
        const bool full = ReadMeshText(gridFile, theMesh, Quiet());
        state.ResumeTiming();
        if (!full || !LoadDesignFile(smallFile, Quiet())) state.SkipWithError("design file not loaded");
    }
    state.counters["vertices"] = theMesh.nVertices;
}

} // namespace

BENCHMARK(BM_ReadDesignFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FaceCentres)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FaceNormals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisibleDepth)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateEdgesHashed)->Arg(32)->Arg(64)->Arg(128)->Arg(kGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateEdgesLinear)->Arg(32)->Arg(64)->Arg(128)->Unit(benchmark::kMillisecond);
// The full grid with the linear search runs once: it takes seconds.
BENCHMARK(BM_GenerateEdgesLinear)->Arg(kGrid)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListMemoryAndRebuilds)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildDisplayLists)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redisplay)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSmallAfterFullStore)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    const std::string dir = MakeTemporaryDirectory("bench-design-");
    if (dir.empty()) {
        std::cerr << "cannot make a directory for the design files" << std::endl;
        return 1;
    }
    gridFile = WriteGridFile(dir, "grid.cqv", kGrid);
    smallFile = WriteGridFile(dir, "small.cqv", 1);
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        OpenViewerWindow("bench_design_load", kWindowWidth, kWindowHeight);
        haveContext = true;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(gridFile.c_str());
    std::remove(smallFile.c_str());
    rmdir(dir.c_str());
    return 0;
}
