// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The curses screen on the process's terminal (standard input and output), and the guarantee
// that the terminal is put back however the process ends: by closing the session, through the
// C runtime's exit, through ExitProcess from any thread, or on SIGINT, SIGTERM, SIGHUP and
// SIGQUIT (which then go on to end the process as they would have, once a recording in progress
// has stopped cleanly).

namespace fw::term {

class CursesSession {
public:
    CursesSession() = default;
    ~CursesSession();
    CursesSession(const CursesSession&) = delete;
    CursesSession& operator=(const CursesSession&) = delete;

    /// Starts curses, once. False when standard input or output is no terminal or the terminal
    /// type is unknown; nothing has changed on the terminal then.
    bool open();
    bool isOpen() const { return open_; }
    /// Puts the terminal back as it was; open may start it again.
    void close();

    /// The descriptor keys arrive on.
    static int inputDescriptor();
    bool hasColours() const { return colours_; }
    /// The colour pair that draws a block in colour (0xRRGGBB), or 0 when the terminal has no
    /// colours. Pairs are made on first use; when the terminal has no pair left, the nearest
    /// made one is given.
    short colourPair(unsigned rgb);

private:
    bool open_ = false;
    bool colours_ = false;
};

} // namespace fw::term
