#include "hedrix/core/Input.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "hedrix/core/HedrixGlobals.h"
#include "mesh/TypeCodes.h"
#include "hedrix/core/Pick.h"
#include "hedrix/core/Twist.h"
#include "view/ViewRules.h"

namespace {

// Idle calls an animated turn takes.
constexpr int kTurnCalls = 600;

// Sets the target and the per-idle-call step of one view axis.
void StartAxisTurn(float& angle, float& target, float& step, double goal)
{
    target = static_cast<float>(goal);
    step = target - angle;
    if (std::fabs(step) > 180) {
        if (angle < 0)
            angle += 360;
        else
            angle -= 360;
        step = target - angle;
    }
    step /= kTurnCalls;
}

// An axis that still turns stands on its target; one without a turn of its
// own keeps what a drag did to it.
void EndAxisTurn(float& angle, float target, float& step)
{
    if (step == 0) return;
    angle = target;
    step = 0;
}

// One idle step of an animated turn on one axis; snaps to the target once
// the rest is smaller than 1.2 steps. It snaps too once the angle stands on or
// past the target (a drag carried it there) or the step no longer moves it (a
// turn restarted close to its target): from there the rest never shrinks.
// Neither happens in a turn that the first rule ends, so those keep their angles.
void AdvanceAxisTurn(float& angle, float target, float& step)
{
    // An axis without a turn of its own (Ctrl+A's z axis, or one whose turn
    // has ended) keeps whatever a drag does to it until the other axis ends.
    if (step == 0) return;
    const float before = angle;
    angle += step;
    const float rest = angle - target;
    const bool near = std::fabs(static_cast<double>(rest)) < std::fabs(1.2 * step);
    const bool reached = step > 0 ? rest >= 0 : rest <= 0;
    if (near || reached || angle == before) EndAxisTurn(angle, target, step);
}

void WrapOnce(float& angle)
{
    if (angle > 180) angle -= 360;
    if (angle < -180) angle += 360;
}

// The angle moved by whole turns to within half a turn of the target, where
// StartAxisTurn sets a turn out (the short way round).
float NearTarget(float angle, float target)
{
    const double turns = std::nearbyint((static_cast<double>(angle) - target) / 360);
    return static_cast<float>(angle - 360 * turns);
}

// A drag of `moved` degrees during a turn on one axis, which stood at `before`
// and which DragTurn has moved, wrapping it above +180 only. An axis without a
// turn of its own comes back below -180 as at rest. One with a turn goes back
// to the short way to its target, so drags never pile up; a drag onto or past
// the target leaves it for AdvanceAxisTurn to end there on the next call, and
// from anywhere else the turn ends no later than it would have: a step that
// cannot make the rest in the calls left, or that runs the long way round,
// becomes the rest over those calls.
void FollowDragInTurn(float& angle, float before, float moved, float target, float& step)
{
    if (step == 0) {
        WrapOnce(angle);
        return;
    }
    // One call is left to a turn that stands on or past its target.
    const double callsLeft = std::max((static_cast<double>(target) - before) / step, 1.0);
    const double dragged = static_cast<double>(target) - before - moved;  // the rest, not wrapped
    angle = NearTarget(angle, target);
    if (dragged * step <= 0 && std::fabs(dragged) <= 180) return;
    const double rest = static_cast<double>(target) - angle;
    if (rest * step <= 0 || std::fabs(rest) > callsLeft * std::fabs(step)) step = static_cast<float>(rest / callsLeft);
}

bool OutsideHalfTurn(float angle)
{
    return angle > 180 || angle < -180;
}

void SelectSolid(int value, std::ostream& os)
{
    theMesh.SelectVornObject(value - 900, false, os);
}

} // namespace

void StorePickBounds()
{
    const CViewBox b = ComputeViewBox(windowWidth, windowHeight, zoom, ERatioOrder::kQuotientFirst);
    theViewState.SetProjection(b.width, b.height, b.left, b.right, b.bottom, b.top);
}

void TurnViewTo(double targetX, double targetZ)
{
    StartAxisTurn(rotX, targetRotX, rotXStep, targetX);
    StartAxisTurn(rotZ, targetRotZ, rotZStep, targetZ);
    turnCallsLeft = kTurnCalls;
    theViewState.SetMode(CViewState::kTurn);
}

void HedrixHandleKey(unsigned char key, int modifiers, std::ostream& os)
{
    const bool shift = (modifiers & kModifierShift) != 0;
    const bool alt = (modifiers & kModifierAlt) != 0;
    CViewState& vs = theViewState;
    switch (key) {
    case 1: // Ctrl+A
        TurnViewTo(-90, shift ? -180.0 : rotZ);
        break;
    case 7: // Ctrl+G
        if (shift && alt)
            TurnViewTo(180, 180);
        else if (shift)
            TurnViewTo(180, 0);
        else if (alt)
            TurnViewTo(180, 90);
        else
            TurnViewTo(180, -90);
        break;
    case 'a': TurnViewTo(-90, alt ? 90 : -90); break;
    case 'A': TurnViewTo(-90, alt ? 180 : 0); break;
    case 'g': TurnViewTo(0, alt ? 90 : -90); break;
    case 'G': TurnViewTo(0, alt ? 180 : 0); break;
    case 'j': TurnViewTo(-54.7356, -135); break;
    case 'J': TurnViewTo(-45, -135); break;
    case '+':
    case '-':
        zoom = ZoomKey(key, zoomSteps, kStartZoom);
        // A press queued with the key is picked before the next frame stores the bounds.
        StorePickBounds();
        break;
    case '1': vs.ShowMarkerOnly(); break;
    case '4': vs.SetMode(CViewState::kFold); break;
    case '5':
        if (alt)
            theMesh.RestoreFaceType(kSquareFaceType, kHiddenType);
        else
            theMesh.ReplaceFaceType(kSquareFaceType, kHiddenType);
        theMesh.BuildDisplayLists();
        break;
    case '6':
        theMesh.PrepareTwist(true);
        theMesh.BuildDisplayLists();
        break;
    case '7':
        vs.SetMode(CViewState::kTwist);
        // Every pass of a loop without a step places the faces where the first
        // one does: show that placement now, and the loop rests (SceneMoves).
        if (vs.GetMode() == CViewState::kTwist && !TwistLoopMoves(theMesh)) TwistIdlePass(theMesh);
        break;
    case 's': vs.ToggleSpecialEdges(); break;
    case 'f': vs.ToggleFaces(); break;
    case 'F': vs.ToggleSplitFaces(); break;
    case 'e': vs.ToggleFacesByEdges(); break;
    case 'n': vs.ToggleNormals(); break;
    case 'c': vs.ToggleCoordinateSystem(); break;
    case 'v': vs.ToggleVertices(); break;
    case 'm': vs.ToggleAutoSpin(); break;
    case 'T': theMesh.SelectVornObject(1, false, os); break;
    case 'H': theMesh.SelectVornObject(2, false, os); break;
    case 'O': theMesh.SelectVornObject(3, false, os); break;
    case 'D': theMesh.SelectVornObject(4, false, os); break;
    case 'I': theMesh.SelectVornObject(5, false, os); break;
    case 't': theMesh.SelectVornObject(1, true, os); break;
    case 'h': theMesh.SelectVornObject(2, true, os); break;
    case 'o': theMesh.SelectVornObject(3, true, os); break;
    case 'd': theMesh.SelectVornObject(4, true, os); break;
    case 'i': theMesh.SelectVornObject(5, true, os); break;
    case 'w':
        // Each writer reports its own failure; the others still run.
        theMesh.WriteMeshText("wemo.txt", os);
        theMesh.WriteMeshCSource("crInc.txt", os);
        theMesh.WriteMeshFile("wp.txt", os);
        break;
    default: break;
    }
}

void IdleStep(std::ostream& os)
{
    CViewState& vs = theViewState;
    switch (vs.GetMode()) {
    case CViewState::kIdle:
        WrapOnce(rotX);
        WrapOnce(rotZ);
        break;
    case CViewState::kTurn:
        vs.toggles[CViewState::kAutoSpin] = false;
        AdvanceAxisTurn(rotZ, targetRotZ, rotZStep);
        AdvanceAxisTurn(rotX, targetRotX, rotXStep);
        // Steps of a few float units, after a key pressed again close to the
        // target, round short; whatever is left ends with the turn's last call.
        if (--turnCallsLeft <= 0) {
            EndAxisTurn(rotZ, targetRotZ, rotZStep);
            EndAxisTurn(rotX, targetRotX, rotXStep);
        }
        if (rotZStep == 0 && rotXStep == 0) vs.SetMode(CViewState::kIdle);
        break;
    case CViewState::kFold:
        theMesh.FoldStep(0.002, os);
        break;
    case CViewState::kTwist:
        TwistIdlePass(theMesh);
        break;
    default: break;
    }
    if (vs.toggles[CViewState::kAutoSpin]) rotZ = static_cast<float>(rotZ + 0.15);
}

bool SceneMoves()
{
    const CViewState& vs = theViewState;
    switch (vs.GetMode()) {
    case CViewState::kTurn:
    case CViewState::kFold: return true;
    case CViewState::kTwist:
        if (TwistLoopMoves(theMesh)) return true;
        break;
    case CViewState::kIdle:
        if (OutsideHalfTurn(rotX) || OutsideHalfTurn(rotZ)) return true;
        break;
    default: break;  // a mode IdleStep does not know moves nothing
    }
    return vs.toggles[CViewState::kAutoSpin];
}

void HedrixDragView(int x, int y)
{
    const float beforeX = rotX, beforeZ = rotZ;
    DragTurn(x, y, lastMouseX, lastMouseY, rotX, rotZ, dRotX, dRotZ);
    if (theViewState.GetMode() != CViewState::kTurn) return;
    FollowDragInTurn(rotX, beforeX, dRotX, targetRotX, rotXStep);
    FollowDragInTurn(rotZ, beforeZ, dRotZ, targetRotZ, rotZStep);
}

void HedrixMouseButton(int button, int state, int x, int y, std::ostream& out)
{
    if (dragButton.Event(button, state)) PressLeftButton(x, y, out);
}

void HedrixPointerMotion(int x, int y)
{
    if (dragButton.LeftHeld()) HedrixDragView(x, y);
}

void NextSolid(std::ostream& os)
{
    ++currentSolid;
    if (currentSolid > kMenuLastSolid || currentSolid < kMenuFirstSolid) currentSolid = kMenuFirstSolid;
    MenuAction(currentSolid, os);
}

void PrevSolid(std::ostream& os)
{
    --currentSolid;
    if (currentSolid < kMenuFirstSolid || currentSolid > kMenuLastSolid) currentSolid = kMenuLastSolid;
    MenuAction(currentSolid, os);
}

void MenuAction(int value, std::ostream& os)
{
    CViewState& vs = theViewState;
    switch (value) {
    case kMenuSpecialEdges: vs.ToggleSpecialEdges(); break;
    case kMenuFaces: vs.ToggleFaces(); break;
    case kMenuFacesByEdges: vs.ToggleFacesByEdges(); break;
    case kMenuNormals: vs.ToggleNormals(); break;
    case kMenuCoordinateSystem: vs.ToggleCoordinateSystem(); break;
    case kMenuVertices: vs.ToggleVertices(); break;
    default:
        if (value >= kMenuFirstSolid && value <= kMenuLastSolid) SelectSolid(value, os);
        break;
    }
}

void PressLeftButton(int x, int y, std::ostream& out)
{
    lastMouseX = x;
    lastMouseY = y;
    const int e = PickEdgeAtPixel(theMesh, theViewState, rotX, rotZ, x, y);
    if (e < 0) {
        out << "no edge picked" << std::endl;
        return;
    }
    const CEdge& edge = theMesh.edges[e];
    out << "picked edge " << e + 1 << ": vertices " << edge.v1 + 1 << " - " << edge.v2 + 1 << std::endl;
}
