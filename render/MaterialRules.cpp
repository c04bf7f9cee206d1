#include "render/MaterialRules.h"

EMaterial FaceMaterial(int type)
{
    switch (type) {
    case 1: return EMaterial::Red;
    case 2: return EMaterial::Blue;
    case 3: return EMaterial::Green;
    case 4: return EMaterial::Orange;
    case 5: return EMaterial::YellowTranslucent;
    case 11: return EMaterial::LightRed;
    case 12: return EMaterial::DeepBlue;
    case 18: return EMaterial::Lavender;
    case 22: return EMaterial::Violet;
    default: return EMaterial::None;
    }
}

EMaterial PolyTubeMaterial(int type)
{
    switch (type) {
    case 2: return EMaterial::Blue;
    case 3: return EMaterial::Green;
    case 4: return EMaterial::Orange;
    case 6:
    case 7: return EMaterial::YellowTranslucent;
    case 11: return EMaterial::LightRed;
    case 12: return EMaterial::DeepBlue;
    default: return EMaterial::Red;
    }
}

EMaterial DesignTubeMaterial(int type)
{
    switch (type) {
    case 2: return EMaterial::Blue;
    case 3: return EMaterial::Green;
    case 6:
    case 7: return EMaterial::YellowTranslucent;
    default: return EMaterial::Red;
    }
}

EMaterial PolySphereMaterial(int type)
{
    if (type == 4) return EMaterial::Orange;
    return DesignSphereMaterial(type);
}

EMaterial DesignSphereMaterial(int type)
{
    switch (type) {
    case 1: return EMaterial::Red;
    case 2: return EMaterial::Blue;
    case 3: return EMaterial::Green;
    default: return EMaterial::YellowTranslucent;
    }
}
