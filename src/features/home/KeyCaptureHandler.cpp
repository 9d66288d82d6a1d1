#include "KeyCaptureHandler.h"

QPointer<KeyCaptureHandler> KeyCaptureHandler::s_active;

KeyCaptureHandler::KeyCaptureHandler(QObject *parent)
    : QObject(parent)
{
}

KeyCaptureHandler::~KeyCaptureHandler()
{
    if (s_active == this)
        s_active = nullptr;
}

KeyCaptureHandler *KeyCaptureHandler::activeHandler()
{
    return s_active.data();
}

void KeyCaptureHandler::claimCapture()
{
    KeyCaptureHandler *previous = s_active.data();
    s_active = this;
    if (previous && previous != this)
        previous->cancelCapture();
}

void KeyCaptureHandler::releaseCapture()
{
    if (s_active == this)
        s_active = nullptr;
}
