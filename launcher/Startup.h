// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

// Creates the main window, shows it and runs the event loop until it is closed.
// A std::exception that escapes is shown in a modal box; if it came from the
// window's construction, the window is never shown. The result is always 0,
// the process's exit status.
int runMainWindow(const std::function<std::unique_ptr<QWidget>()> &createMainWindow);
