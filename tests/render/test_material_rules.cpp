#include <gtest/gtest.h>

#include "render/MaterialRules.h"

namespace {

using M = EMaterial;

struct TypeRow {
    int type;
    M face, polyTube, polySphere, designTube, designSphere;
};

// One row per type code that any rule treats apart, plus outsiders.
const TypeRow kRows[] = {
    {0, M::None, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {1, M::Red, M::Red, M::Red, M::Red, M::Red},
    {2, M::Blue, M::Blue, M::Blue, M::Blue, M::Blue},
    {3, M::Green, M::Green, M::Green, M::Green, M::Green},
    {4, M::Orange, M::Orange, M::Orange, M::Red, M::YellowTranslucent},
    {5, M::YellowTranslucent, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {6, M::None, M::YellowTranslucent, M::YellowTranslucent, M::YellowTranslucent, M::YellowTranslucent},
    {7, M::None, M::YellowTranslucent, M::YellowTranslucent, M::YellowTranslucent, M::YellowTranslucent},
    {8, M::None, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {9, M::None, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {10, M::None, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {11, M::LightRed, M::LightRed, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {12, M::DeepBlue, M::DeepBlue, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {13, M::None, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {18, M::Lavender, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {22, M::Violet, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {23, M::None, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {kHiddenType, M::None, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
    {-1, M::None, M::Red, M::YellowTranslucent, M::Red, M::YellowTranslucent},
};

TEST(MaterialRules, EveryKindOfElementFollowsItsOwnRule)
{
    for (const TypeRow& row : kRows) {
        SCOPED_TRACE(row.type);
        EXPECT_EQ(FaceMaterial(row.type), row.face);
        EXPECT_EQ(PolyTubeMaterial(row.type), row.polyTube);
        EXPECT_EQ(PolySphereMaterial(row.type), row.polySphere);
        EXPECT_EQ(DesignTubeMaterial(row.type), row.designTube);
        EXPECT_EQ(DesignSphereMaterial(row.type), row.designSphere);
    }
}

TEST(MaterialRules, StylesCarryTheirProgramsRule)
{
    // Type 4 and 11 tell the two programs' tube and sphere rules apart.
    EXPECT_EQ(kPolyTube.material(11), M::LightRed);
    EXPECT_EQ(kDesignTube.material(11), M::Red);
    EXPECT_EQ(kPolySphere.material(4), M::Orange);
    EXPECT_EQ(kDesignSphere.material(4), M::YellowTranslucent);
}

struct RadiusRow {
    const char* name;
    double drawn;
    double expected;
};

TEST(MaterialRules, DrawnRadii)
{
    const RadiusRow rows[] = {
        {"polyhedron tube", TubeRadius(kPolyTube, 0.01), 0.02},
        {"design tube", TubeRadius(kDesignTube, 0.0125), 0.0125},
        {"design special tube", TubeRadius(kDesignTube, 0.015), 0.015},
        {"polyhedron sphere", SphereRadius(kPolySphere, 0.03, 0), 0.06},
        {"polyhedron sphere type 9", SphereRadius(kPolySphere, 0.03, 9), 0.12},
        {"polyhedron sphere type 99", SphereRadius(kPolySphere, 0.03, kHiddenType), 0.06},
        {"design sphere", SphereRadius(kDesignSphere, 0.025, 1), 0.025},
        {"design sphere type 9", SphereRadius(kDesignSphere, 0.025, 9), 0.05},
    };
    for (const RadiusRow& row : rows) EXPECT_DOUBLE_EQ(row.drawn, row.expected) << row.name;
}

}  // namespace
