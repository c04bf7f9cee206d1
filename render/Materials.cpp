#include "render/Materials.h"

#include <GL/gl.h>

namespace {

void SetFrontMaterial(const GLfloat ambient[4], const GLfloat diffuse[4])
{
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
}

struct CNamedMaterial {
    GLfloat ambient[4];
    GLfloat diffuse[4];
};

// Indexed by EMaterial; the first row (None) is never applied.
const CNamedMaterial kMaterials[] = {
    {{0, 0, 0, 0}, {0, 0, 0, 0}},
    {{0.5f, 0.0f, 0.0f, 1.0f}, {0.88f, 0.04f, 0.04f, 1.0f}},
    {{0.0f, 0.0f, 0.5f, 1.0f}, {0.4f, 0.5f, 1.0f, 1.0f}},
    {{0.0f, 0.5f, 0.0f, 1.0f}, {0.24f, 0.69f, 0.2f, 1.0f}},
    {{0.5f, 0.25f, 0.0f, 1.0f}, {0.9f, 0.45f, 0.0f, 1.0f}},
    {{0.25f, 0.25f, 0.0f, 0.5f}, {0.75f, 0.75f, 0.0f, 0.5f}},
    {{0.85f, 0.2f, 0.2f, 1.0f}, {1.0f, 0.4f, 0.4f, 1.0f}},
    {{0.2f, 0.2f, 0.85f, 1.0f}, {0.1f, 0.27f, 0.84f, 1.0f}},
    {{0.4f, 0.4f, 1.0f, 1.0f}, {0.6f, 0.6f, 1.0f, 1.0f}},
    {{0.6f, 0.45f, 0.85f, 1.0f}, {0.7f, 0.55f, 0.95f, 1.0f}},
};
constexpr int kMaterialCount = sizeof(kMaterials) / sizeof(kMaterials[0]);
static_assert(kMaterialCount == static_cast<int>(EMaterial::Violet) + 1, "one row per named material");

}  // namespace

void ApplyMaterial(EMaterial material)
{
    const int i = static_cast<int>(material);
    if (i <= 0 || i >= kMaterialCount) return;
    SetFrontMaterial(kMaterials[i].ambient, kMaterials[i].diffuse);
}

void SetMaterialRed() { ApplyMaterial(EMaterial::Red); }
void SetMaterialBlue() { ApplyMaterial(EMaterial::Blue); }
void SetMaterialGreen() { ApplyMaterial(EMaterial::Green); }
void SetMaterialOrange() { ApplyMaterial(EMaterial::Orange); }
void SetMaterialYellowTranslucent() { ApplyMaterial(EMaterial::YellowTranslucent); }
void SetMaterialLightRed() { ApplyMaterial(EMaterial::LightRed); }
void SetMaterialDeepBlue() { ApplyMaterial(EMaterial::DeepBlue); }
void SetMaterialLavender() { ApplyMaterial(EMaterial::Lavender); }
void SetMaterialViolet() { ApplyMaterial(EMaterial::Violet); }

void SetFrontHighlight()
{
    const GLfloat frontSpecular[] = {0.8f, 0.8f, 0.8f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, frontSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, 40.0f);
}

void SetFaceMaterialDefault()
{
    const GLfloat frontDiffuse[] = {0.4f, 0.4f, 0.4f, 1.0f};
    const GLfloat frontAmbient[] = {0.6f, 0.2f, 0.0f, 1.0f};
    const GLfloat backDiffuse[] = {1.0f, 1.0f, 0.2f, 1.0f};
    const GLfloat backAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, frontDiffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, frontAmbient);
    SetFrontHighlight();
    glMaterialfv(GL_BACK, GL_DIFFUSE, backDiffuse);
    glMaterialfv(GL_BACK, GL_AMBIENT, backAmbient);
    glMaterialf(GL_BACK, GL_SHININESS, 4.0f);
}

void SetFaceMaterialYellowRed()
{
    const GLfloat frontDiffuse[] = {1.0f, 1.0f, 0.4f, 1.0f};
    const GLfloat frontAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat backDiffuse[] = {1.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat backAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, frontDiffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, frontAmbient);
    glMaterialf(GL_FRONT, GL_SHININESS, 30.0f);
    glMaterialfv(GL_BACK, GL_DIFFUSE, backDiffuse);
    glMaterialfv(GL_BACK, GL_AMBIENT, backAmbient);
    glMaterialf(GL_BACK, GL_SHININESS, 4.0f);
}

void SetColorByType(int type)
{
    switch (type) {
    case 0: glColor3f(1, 1, 0); break;
    case 1: glColor3f(1, 0, 0); break;
    case 2: glColor3f(0, 1, 0); break;
    case 3: glColor3f(0, 1, 0.5f); break;
    case 4: glColor3f(1, 0, 0.5f); break;
    default: glColor3f(0, 0, 0); break;
    }
}
