#pragma once

#include <QString>

// How the program is named. Neither name places the settings file (with the
// login) or the PDF quota ledger: those live in fixed folders of the user's
// config and data locations.
namespace ApplicationIdentity {

// The reverse-DNS application id: the desktop entry's file name (<id>.desktop),
// the icon's name, the window's app id and class, and the name the program
// gives the desktop portal.
inline const QString id = QStringLiteral(VUZO_APPLICATION_ID);
// Qt's application name: window titles and the web profiles' folders.
inline const QString name = QStringLiteral("vuzo");

} // namespace ApplicationIdentity
