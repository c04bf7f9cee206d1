// Timings of loading a design file of about 69000 quads (263 x 263), close to
// the design viewer's capacities. The display-list benchmark needs an X
// display (a hidden freeglut window gives it a GL context); without one it is
// skipped.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "render/ViewerWindow.h"
#include "crimpa/DesignFiles.h"
#include "crimpa/DesignMesh.h"
#include "render/DesignDisplayLists.h"
#include "tests/crimpa/ReferenceEdges.h"

namespace {

constexpr int kGrid = 263;
bool haveContext = false;
std::string gridFile;

// Keeps the store's progress lines out of the benchmark report.
class CSilentConsole {
public:
    CSilentConsole() : saved(std::cout.rdbuf(sink.rdbuf())) {}
    ~CSilentConsole() { std::cout.rdbuf(saved); }

private:
    std::ostringstream sink;
    std::streambuf* saved;
};

std::string WriteGridFile(int n)
{
    char dir[] = "/tmp/bench-design-XXXXXX";
    if (!mkdtemp(dir)) return std::string();
    const std::string path = std::string(dir) + "/grid.cqv";
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
    static CMesh mesh(70000, 140000, 70000);
    static bool loaded = false;
    if (!loaded) {
        CSilentConsole quiet;
        loaded = ReadMeshText(gridFile, mesh);
        mesh.ComputeFaceCentres();
        mesh.ComputeFaceNormals();
        mesh.GenerateEdges();
    }
    return mesh;
}

void BM_ReadDesignFile(benchmark::State& state)
{
    static CMesh scratch(70000, 140000, 70000);
    CSilentConsole quiet;
    for (auto _ : state)
        if (!ReadMeshText(gridFile, scratch)) state.SkipWithError("grid file not read");
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
void BM_GenerateEdgesHashed(benchmark::State& state)
{
    static CMesh m(70000, 140000, 70000);
    FillQuadGrid(m, static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    CSilentConsole quiet;
    for (auto _ : state) m.GenerateEdges();
    state.counters["faces"] = m.nFaces;
    state.counters["edges"] = m.nEdges;
}

void BM_GenerateEdgesLinear(benchmark::State& state)
{
    static CMesh m(70000, 140000, 70000);
    FillQuadGrid(m, static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    for (auto _ : state) ReferenceGenerateEdges(m);
    state.counters["faces"] = m.nFaces;
    state.counters["edges"] = m.nEdges;
}

void BM_BuildDisplayLists(benchmark::State& state)
{
    if (!haveContext) {
        state.SkipWithError("no X display: no GL context");
        return;
    }
    CMesh& m = LoadedMesh();
    for (auto _ : state) {
        BuildDesignDisplayLists(m);
        glFinish();
    }
}

} // namespace

BENCHMARK(BM_ReadDesignFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FaceCentres)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FaceNormals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateEdgesHashed)->Arg(32)->Arg(64)->Arg(128)->Arg(kGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateEdgesLinear)->Arg(32)->Arg(64)->Arg(128)->Unit(benchmark::kMillisecond);
// The full grid with the linear search runs once: it takes seconds.
BENCHMARK(BM_GenerateEdgesLinear)->Arg(kGrid)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildDisplayLists)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    gridFile = WriteGridFile(kGrid);
    if (gridFile.empty()) {
        std::cerr << "cannot write the grid file" << std::endl;
        return 1;
    }
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        OpenViewerWindow("bench_design_load", 64, 64);
        glutHideWindow();
        haveContext = true;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(gridFile.c_str());
    rmdir(gridFile.substr(0, gridFile.rfind('/')).c_str());
    return 0;
}
