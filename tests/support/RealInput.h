// The real mouse and keyboard, through the system's input queue
// (SendInput), as an operator's hands would move them. Each gesture runs on
// a second thread while the calling thread keeps dispatching its own
// messages (pump), so that a browser running on the calling thread follows
// the input, drag loops included. Points are in screen coordinates.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class RealInput {
public:
    // pump: dispatches the calling thread's messages once; null when the
    // windows belong to another thread or process.
    explicit RealInput(std::function<void()> pump = nullptr) : m_pump(std::move(pump)) {}

    // Presses the left button at from, moves to to in steps, releases it;
    // with Ctrl held down at the drop when asked.
    void Drag(POINT from, POINT to, bool withCtrl = false) const;
    // As Drag, with whileHeld run (on the hands' thread) at the drop point
    // before the button comes up.
    void DragHolding(POINT from, POINT to, const std::function<void()>& whileHeld) const;
    // A press and release of the right button, as a step of a gesture.
    static void RightClickAt(POINT at);
    void Click(POINT at) const;
    void DoubleClick(POINT at) const;
    // A key pressed and released, with Ctrl held when asked.
    void Press(WORD key, bool withCtrl = false) const;
    // The wheel turned by delta (120 a notch, positive away from the
    // operator) with the pointer at at, each of the turns given as one, and
    // Ctrl held when asked.
    void Wheel(POINT at, const std::vector<int>& turns, bool withCtrl = false) const;

private:
    // Runs the gesture, then dispatches what its last input caused for
    // settle steps of 25 ms.
    void Run(const std::function<void()>& gesture, int settle = 10) const;
    std::function<void()> m_pump;
};
