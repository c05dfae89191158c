// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

// The launcher ends its process once an action is over. A test follows it
// there in a copy of the test program that runs only the current row: the end
// is real in the copy, and the copy's record comes back to the test.
struct ProcessEnd
{
    bool reached = false; // false when the steps returned or the copy failed
    int status = -1;
    QStringList log; // the recording platform's log, "exit: N" last
    QString output;  // what the copy printed, for failure messages
};

// In the test: runs the current row in a copy and says how the copy ended.
// In the copy: runs the steps, which are to end the process.
ProcessEnd runToProcessEnd(const std::function<void()> &steps);

// In a copy, hands the log back to the test. Elsewhere an end is a fault of
// the test, and the run aborts rather than end with a status that looks fine.
void reportProcessEnd(const std::vector<std::string> &log);

// Ends a copy at once with the status; aborts anywhere else.
[[noreturn]] void endProcessEndCopy(int status);
