#pragma once
// Material and colour state of both programs. Each named material sets the
// front ambient, then the front diffuse colour, and nothing else.
#include "render/MaterialRules.h"

void SetMaterialRed();
void SetMaterialBlue();
void SetMaterialGreen();
void SetMaterialOrange();
// Alpha 0.5, but blending stays off, so it draws opaque.
void SetMaterialYellowTranslucent();
void SetMaterialLightRed();
void SetMaterialDeepBlue();
void SetMaterialLavender();
void SetMaterialViolet();

// Grey front, yellow back: the faces' base material.
void SetFaceMaterialDefault();
// Its front specular colour and shininess alone.
void SetFrontHighlight();
void SetFaceMaterialYellowRed();
// glColor3f by type: 0 yellow, 1 red, 2 green, 3 green-cyan, 4 pink, else black.
void SetColorByType(int type);

// Sets one of the named materials; EMaterial::None leaves the state alone.
void ApplyMaterial(EMaterial material);
