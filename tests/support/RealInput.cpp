#include "tests/support/RealInput.h"

#include <atomic>
#include <thread>

namespace {

const DWORD kStepMs = 25;
const int kDragSteps = 12;

// One mouse event at a point: every event carries its position, since Wine
// may otherwise take a button's position from where the X pointer was.
void MouseAt(POINT at, DWORD flags, DWORD data = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Absolute positions are 0 to 65535 across the primary screen.
    input.mi.dx = static_cast<LONG>((at.x * 65536LL + 32768) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((at.y * 65536LL + 32768) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    input.mi.mouseData = data;
    SendInput(1, &input, sizeof input);
    Sleep(kStepMs);
}

void MoveTo(POINT at)
{
    MouseAt(at, 0);
}

void Key(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
    Sleep(kStepMs);
}

// Presses the left button at from and moves to to with it held.
void PressAndMove(POINT from, POINT to)
{
    MoveTo(from);
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= kDragSteps; ++step)
        MoveTo(POINT{from.x + (to.x - from.x) * step / kDragSteps, from.y + (to.y - from.y) * step / kDragSteps});
}

}  // namespace

void RealInput::Run(const std::function<void()>& gesture, int settle) const
{
    std::atomic<bool> done{false};
    std::thread hands([&] {
        gesture();
        done = true;
    });
    while (!done) {
        if (m_pump)
            m_pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    hands.join();
    // What the last input caused.
    for (int i = 0; i < settle; ++i) {
        if (m_pump)
            m_pump();
        Sleep(kStepMs);
    }
}

void RealInput::RightClickAt(POINT at)
{
    MouseAt(at, MOUSEEVENTF_RIGHTDOWN);
    MouseAt(at, MOUSEEVENTF_RIGHTUP);
}

void RealInput::DragHolding(POINT from, POINT to, const std::function<void()>& whileHeld) const
{
    Run([=] {
        PressAndMove(from, to);
        whileHeld();
        MouseAt(to, MOUSEEVENTF_LEFTUP);
    });
}

void RealInput::Drag(POINT from, POINT to, bool withCtrl) const
{
    if (!withCtrl) {
        DragHolding(from, to, [] {});
        return;
    }
    Run([=] {
        PressAndMove(from, to);
        // Ctrl goes down at the drop point, and the button comes up there
        // without a move: under Wine every pointer move takes the modifier
        // keys from the X server, which never saw the key.
        Key(VK_CONTROL, false);
        INPUT up = {};
        up.type = INPUT_MOUSE;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &up, sizeof up);
        Sleep(kStepMs);
        Key(VK_CONTROL, true);
    });
}

void RealInput::Click(POINT at) const
{
    Run([=] {
        MoveTo(at);
        MouseAt(at, MOUSEEVENTF_LEFTDOWN);
        MouseAt(at, MOUSEEVENTF_LEFTUP);
    });
}

void RealInput::Press(WORD key, bool withCtrl) const
{
    Run([=] {
        if (withCtrl)
            Key(VK_CONTROL, false);
        Key(key, false);
        Key(key, true);
        if (withCtrl)
            Key(VK_CONTROL, true);
    }, 2);  // a key's command ran when its key went down
}

void RealInput::Wheel(POINT at, const std::vector<int>& turns, bool withCtrl) const
{
    Run([=] {
        MoveTo(at);
        // Ctrl goes down after the last move: under Wine a move takes the
        // modifier keys from the X server, which never saw the key.
        if (withCtrl)
            Key(VK_CONTROL, false);
        // Each turn carries the pointer's place, which Wine would otherwise
        // take from the X pointer; staying there, it keeps the keys held.
        for (int delta : turns)
            MouseAt(at, MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta));
        if (withCtrl)
            Key(VK_CONTROL, true);
    }, 2);  // each turn's command ran when the turn came
}

void RealInput::DoubleClick(POINT at) const
{
    Run([=] {
        MoveTo(at);
        for (int click = 0; click < 2; ++click) {
            INPUT input[2] = {};
            for (INPUT& one : input) {
                one.type = INPUT_MOUSE;
                one.mi.dx = static_cast<LONG>((at.x * 65536LL + 32768) / GetSystemMetrics(SM_CXSCREEN));
                one.mi.dy = static_cast<LONG>((at.y * 65536LL + 32768) / GetSystemMetrics(SM_CYSCREEN));
            }
            input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
            input[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
            SendInput(2, input, sizeof input[0]);
            Sleep(10);
        }
        Sleep(kStepMs);
    });
}
