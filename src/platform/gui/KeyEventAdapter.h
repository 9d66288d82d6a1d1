#pragma once

#include "platform/KeyEventInfo.h"

class QKeyEvent;

// The one seam between Qt's key events and the program's key vocabulary.
// Ctrl is Command, Alt is Option, Meta/Super is Control, Shift is Shift; arrow,
// navigation and F keys carry the Function flag and report their private-use
// characters (U+F700…), Return "\r", keypad Enter "\u0003", Tab "\t", Escape
// "\u001b", Backspace "\u007f".
//
// Keys are mapped by their Qt key, so that a letter means the same letter on
// every layout. Keys whose Qt key names no ANSI key (letters of non-Latin
// layouts, unknown keys) fall back to the position given by the native scan
// code (an X11/evdev key code).
[[nodiscard]] KeyEventInfo keyEventInfo(const QKeyEvent &event);
