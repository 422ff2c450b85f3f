// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// libburn's signal handling for the length of a recording, so that a signal does not end the
// process with a busy drive (which may then need a power cycle) or a half-written disc file.
// libburn wraps nearly every signal; the layer's handler under it passes an ending signal on to
// the handler the program had (a user interface puts its screen back and then calls
// EndProcessBySignal, which waits for the recording to stop), or, when the program had none,
// calls EndProcessBySignal itself; any other signal goes back to the action it had. libburn's
// built-in handler is not used: it prints on the terminal the dialog may be drawn on.

namespace platform::layer {

class ScopedBurnSignalHandling {
public:
    /// Notes every signal's action and installs libburn's handling. On the recording's thread,
    /// without the libburn lock held.
    ScopedBurnSignalHandling();
    /// Puts every signal's noted action back.
    ~ScopedBurnSignalHandling();
    ScopedBurnSignalHandling(const ScopedBurnSignalHandling&) = delete;
    ScopedBurnSignalHandling& operator=(const ScopedBurnSignalHandling&) = delete;
};

} // namespace platform::layer
