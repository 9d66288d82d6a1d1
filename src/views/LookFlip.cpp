#include "LookFlip.h"

void LookFlip::reset(bool transparent, int screen)
{
    m_transparent = transparent;
    m_screen = screen;
    m_fades = true;
}

bool LookFlip::follow(bool transparent, int screen)
{
    const bool flipped = transparent != m_transparent;
    // A flip that comes with a new screen is the screen's, even when the
    // setting changed in the same step.
    if (flipped)
        m_fades = screen == m_screen;
    m_transparent = transparent;
    m_screen = screen;
    return flipped;
}
