#pragma once

// Fixed settings of the auto-hiding panel, built once at launch. Only
// alwaysOnTop is consulted (for the window level); the hover controller keeps
// its timing as constants equal to these values.
struct HoverSettings
{
    int pollIntervalMs = 25;
    int showDelayMs = 0;
    int hideDelayMs = 50;
    double exitTolerance = 6.0;
    bool alwaysOnTop = false;
    bool startHidden = false;
    bool autoHideEnabled = false;
};
