// SPDX-License-Identifier: MIT
#pragma once

#include "platform/QtPlatform.h"

#include <deque>
#include <string>

// The desktop's own platform, real files, variables and programs, with the
// file dialog answered from a script instead of shown.
class ScriptedDialogPlatform : public QtPlatform
{
public:
    explicit ScriptedDialogPlatform(std::deque<std::string> answers)
        : QtPlatform(nullptr), m_answers(std::move(answers))
    {}

    bool executeDialog() override
    {
        if (m_answers.empty())
            return false;
        m_answer = m_answers.front();
        m_answers.pop_front();
        return true;
    }
    std::string dialogFileName() const override { return m_answer; }

private:
    std::deque<std::string> m_answers;
    std::string m_answer;
};
