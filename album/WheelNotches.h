// The mouse wheel in whole notches of 120 units: wheels and touchpads that
// send less at a time add up to a notch. Turns with Ctrl held (zoom) and
// without (paging) add up apart, and one kind starts the other afresh.
#pragma once

class CWheelNotches {
public:
    static const int kNotch = 120;

    // The whole notches this turn completes, positive away from the
    // operator; what is left over waits for the next turn.
    int Turn(int delta, bool ctrl)
    {
        int& sum = m_nSum[ctrl ? 1 : 0];
        m_nSum[ctrl ? 0 : 1] = 0;
        sum += delta;
        const int notches = sum / kNotch;   // toward zero: a part of a notch either way waits
        sum -= notches * kNotch;
        return notches;
    }

private:
    int m_nSum[2] = {0, 0};
};
