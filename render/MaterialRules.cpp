#include "render/MaterialRules.h"

EMaterial FaceMaterial(int type)
{
    switch (type) {
    case kRedType: return EMaterial::Red;
    case kBlueType: return EMaterial::Blue;
    case kGreenType: return EMaterial::Green;
    case kOrangeType: return EMaterial::Orange;
    case kYellowType: return EMaterial::YellowTranslucent;
    case kLightRedType: return EMaterial::LightRed;
    case kDeepBlueType: return EMaterial::DeepBlue;
    case kLavenderType: return EMaterial::Lavender;
    case kVioletType: return EMaterial::Violet;
    default: return EMaterial::None;
    }
}

EMaterial PolyTubeMaterial(int type)
{
    switch (type) {
    case kBlueType: return EMaterial::Blue;
    case kGreenType: return EMaterial::Green;
    case kOrangeType: return EMaterial::Orange;
    case kYellowTubeType:
    case kBorderEdgeType: return EMaterial::YellowTranslucent;
    case kLightRedType: return EMaterial::LightRed;
    case kDeepBlueType: return EMaterial::DeepBlue;
    default: return EMaterial::Red;
    }
}

EMaterial DesignTubeMaterial(int type)
{
    switch (type) {
    case kBlueType: return EMaterial::Blue;
    case kGreenType: return EMaterial::Green;
    case kYellowTubeType:
    case kBorderEdgeType: return EMaterial::YellowTranslucent;
    default: return EMaterial::Red;
    }
}

EMaterial PolySphereMaterial(int type)
{
    if (type == kOrangeType) return EMaterial::Orange;
    return DesignSphereMaterial(type);
}

EMaterial DesignSphereMaterial(int type)
{
    switch (type) {
    case kRedType: return EMaterial::Red;
    case kBlueType: return EMaterial::Blue;
    case kGreenType: return EMaterial::Green;
    default: return EMaterial::YellowTranslucent;
    }
}
