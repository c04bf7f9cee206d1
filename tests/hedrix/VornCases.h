#pragma once
// Known facts of the five built-in objects, shared by the object and fold tests.
#include <string>

#include <gtest/gtest.h>

struct VornCase {
    int type;
    int nVertices, nFaces, faceInts;
    int nType3, nType2, nType1;
    int sides3, sides2;
    double edge, radius;
    double lowerBound, twistMark, objectConstant, foldScale;
    int nEdges;
    int foldSteps;  // from 0.99999 down to the lower bound by 0.002
    const char* firstFoldLine;
    const char* lastFoldLine;
};

inline const VornCase kVornCases[] = {
    {1, 12, 14, 76, 4, 4, 6, 3, 3, 1.25, 1.25, 0.25, 0.38813951537018881, 0.27009075673772648, 2.8867513459, 24, 375,
     "0.99799", "0.24999"},
    {2, 24, 26, 148, 6, 8, 12, 4, 3, 0.911269837220, 1.274835816140, 0.41421356237309515, 0.28741314875777768,
     0.43759328600096092, 1.5556349186, 48, 293, "0.99799", "0.41399"},
    {3, 24, 26, 148, 8, 6, 12, 3, 4, 0.961131723053, 1.344590915367, 0.32037724101704079, 0.35456388775814723,
     0.33646214115966405, 1.7320508076, 48, 340, "0.99799", "0.31999"},
    {4, 60, 62, 364, 12, 20, 30, 5, 3, 0.557953156227, 1.245881784426, 0.53934466291663152, 0.22874989222089501,
     0.56212196399304193, 0.8800000000, 120, 231, "0.99799", "0.53799"},
    {5, 60, 62, 364, 20, 12, 30, 3, 5, 0.507446082437, 1.133101988278, 0.35037290602269866, 0.34065201195387368,
     0.36385589352440656, 0.8361780470, 120, 325, "0.99799", "0.34999"},
};

inline std::string VornCaseName(const ::testing::TestParamInfo<VornCase>& info)
{
    return "Object" + std::to_string(info.param.type);
}
