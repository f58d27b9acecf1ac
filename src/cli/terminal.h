#pragma once

#include <QString>

// The command line's view of its terminal: progress lines only when a person watches standard
// error, and secrets read without echo.
class Terminal
{
public:
    // Whether standard error is a terminal, where progress is shown.
    static bool showsProgress();
    // Replaces the current progress line; nothing when not on a terminal.
    static void progress(const QString &text);
    // Clears the progress line before ordinary output.
    static void endProgress();

    // One line of standard input. On a terminal the prompt goes to standard error and the typed
    // text is not echoed. False at the end of input.
    static bool readSecret(const QString &prompt, QString *line);
};
