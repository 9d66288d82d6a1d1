#pragma once

// What flipped the transparent look last. A flip of the study-transparency
// setting (the header's toggle) fades the look over 0.18 s, eased in and out;
// a change of screen that flips it (the login and purchase screens never wear
// it) switches it at once, as screens themselves switch.
class LookFlip
{
public:
    static constexpr int fadeMilliseconds = 180;

    // Starts from the inputs as they are, nothing flipped yet.
    void reset(bool transparent, int screen);
    // Follows the inputs after any change of them; true when the look flipped.
    bool follow(bool transparent, int screen);

    // Whether the latest flip fades (the setting's) or not (a screen change's).
    [[nodiscard]] bool fades() const { return m_fades; }
    [[nodiscard]] int fadeMs() const { return m_fades ? fadeMilliseconds : 0; }

private:
    bool m_transparent = false;
    int m_screen = 0;
    bool m_fades = true;
};
