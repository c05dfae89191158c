// SPDX-License-Identifier: MIT
#pragma once

#include "platform/QtPlatform.h"

#include <string>

// The desktop's own platform, real files, variables and programs, with the
// file dialog confirming one scripted answer instead of showing itself.
class ScriptedDialogPlatform : public QtPlatform
{
public:
    explicit ScriptedDialogPlatform(std::string answer)
        : QtPlatform(nullptr), m_answer(std::move(answer))
    {}

    bool executeDialog() override { return true; }
    std::string dialogFileName() const override { return m_answer; }

private:
    std::string m_answer;
};
