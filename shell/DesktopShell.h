// Hands an address (a web page, a "mailto:" address, a local file) to the
// desktop, which opens it in the user's default program. The program never
// waits for that program and never reports a failure to open.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Opens `target` with the default program, silently doing nothing when it
// cannot. Blanks around the target and right after its scheme are dropped
// ("mailto: a@b.org" opens a@b.org); a target without a scheme opens as a web
// page when it looks like a host name ("www.example.org"), as a mail address
// when it looks like one, as a file when it names an existing absolute path,
// and not at all otherwise.
void ShellOpen(const QString& target);

// The address ShellOpen would hand to the desktop; empty when it would not
// open anything.
QUrl ShellTargetUrl(const QString& target);

// Tests record what would be opened instead of starting programs. The opener
// returns whether the desktop accepted the address; an empty function
// restores the desktop's own opener.
using ShellOpener = std::function<bool(const QUrl&)>;
void SetShellOpener(ShellOpener opener);
