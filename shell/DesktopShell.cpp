// The desktop's "open" service over QDesktopServices.
#include "shell/DesktopShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

ShellOpener& Opener()
{
    static ShellOpener opener;
    return opener;
}

bool HasBlank(const QString& text)
{
    for (const QChar c : text)
        if (c.isSpace())
            return true;
    return false;
}

bool LooksLikeMailAddress(const QString& text)
{
    static const QRegularExpression mail(QStringLiteral("^[^@/:]+@[^@/:]+\\.[^@/:.]+$"));
    return mail.match(text).hasMatch();
}

} // namespace

QUrl ShellTargetUrl(const QString& target)
{
    const QString text = target.trimmed();
    if (text.isEmpty())
        return {};

    // A scheme needs two letters at least, so that a Windows drive ("C:\x")
    // is not taken for one; a dot in it means a host with a port instead.
    static const QRegularExpression schemed(QStringLiteral("^([A-Za-z][A-Za-z0-9+-]+):\\s*(.*)$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    if (const auto match = schemed.match(text); match.hasMatch()) {
        const QUrl url(match.captured(1) + u':' + match.captured(2), QUrl::TolerantMode);
        return url.isValid() && !match.captured(2).isEmpty() ? url : QUrl();
    }

    if (QDir::isAbsolutePath(text) && QFileInfo::exists(text))
        return QUrl::fromLocalFile(text);
    if (HasBlank(text))
        return {};
    if (LooksLikeMailAddress(text))
        return QUrl(QStringLiteral("mailto:") + text, QUrl::TolerantMode);

    // A bare word ("foo") is no address; a host name has a dot in it.
    const QUrl web = QUrl::fromUserInput(text);
    if (web.isValid() && web.scheme() == QLatin1String("http") && web.host().contains(u'.')
        && web.userInfo().isEmpty())
        return web;
    return {};
}

void ShellOpen(const QString& target)
{
    const QUrl url = ShellTargetUrl(target);
    if (url.isEmpty())
        return;
    // The result is of no use: a link that does not open just does nothing.
    if (Opener())
        Opener()(url);
    else
        QDesktopServices::openUrl(url);
}

void SetShellOpener(ShellOpener opener)
{
    Opener() = std::move(opener);
}
