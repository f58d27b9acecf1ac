#include "terminal.h"

#include <QTextStream>
#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

bool progressShown = false;

} // namespace

bool Terminal::showsProgress() { return ::isatty(STDERR_FILENO) == 1; }

void Terminal::progress(const QString &text)
{
    if (!showsProgress())
        return;
    QTextStream err(stderr);
    err << "\r\033[K" << text;
    err.flush();
    progressShown = true;
}

void Terminal::endProgress()
{
    if (!progressShown)
        return;
    QTextStream err(stderr);
    err << "\r\033[K";
    err.flush();
    progressShown = false;
}

bool Terminal::readSecret(const QString &prompt, QString *line)
{
    const bool interactive = ::isatty(STDIN_FILENO) == 1;
    termios saved {};
    if (interactive) {
        QTextStream err(stderr);
        err << prompt;
        err.flush();
        if (::tcgetattr(STDIN_FILENO, &saved) == 0) {
            termios silent = saved;
            silent.c_lflag &= ~tcflag_t(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
        }
    }

    std::string bytes;
    int c = 0;
    bool complete = false;
    while ((c = std::getchar()) != EOF) {
        if (c == '\n') {
            complete = true;
            break;
        }
        bytes.push_back(static_cast<char>(c));
    }

    if (interactive) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        QTextStream err(stderr);
        err << "\n";
    }
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    *line = QString::fromStdString(bytes);
    return complete || !bytes.empty();
}
